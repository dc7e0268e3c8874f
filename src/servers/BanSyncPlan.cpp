#include "BanSyncPlan.h"

#include "BanFlow.h"
#include "BanStates.h"
#include "PlayerLookup.h"
#include "PlayerSearch.h"
#include "Windows1252.h"

#include <numeric>

int BanSyncPlan::Requests() const {
    return std::accumulate(bans.begin(), bans.end(), 0, [](int sum, const BanSyncBan& ban) {
        return sum + static_cast<int>(ban.servers.size());
    });
}

bool BanHeldOn(const std::vector<BanRecord>& records, std::string_view server) {
    for (const BanRecord& record : records) {
        if (record.server != server ||
            (record.action != kBanActionText && record.action != kUnbanActionText)) {
            continue;
        }
        return record.action == kBanActionText &&
               (record.result == kBanDoneText || record.result == kBanRefusedText);
    }
    return false;
}

std::string BanSyncAddress(const std::vector<BanRecord>& records, PlayerLookup& lookup,
                           std::string_view guid) {
    for (const BanRecord& record : records) {
        if (!record.ip.empty()) {
            return record.ip;
        }
    }
    const PlayerSearchParse parse = ParsePlayerSearch(PlayerSearchMode::Guid, guid);
    if (!parse.search) {
        return {};
    }
    const PlayerFindResult found = lookup.FindPlayers(*parse.search, 1);
    for (const FoundPlayer& player : found.players) {
        if (player.guid.size() == guid.size()) {
            return player.latestAddress;
        }
    }
    return {};
}

BanSyncPlan ReadBanSyncPlan(BanStates& states, PlayerLookup& lookup,
                            const std::vector<std::string>& servers) {
    BanSyncPlan plan;
    plan.held.assign(servers.size(), 0);
    BanStateFilter active;
    active.activeOnly = true;
    for (BanState& state : states.List(active)) {
        if (state.kind != BanKind::Permanent) {
            continue;
        }
        ++plan.permanentBans;
        const std::vector<BanRecord> records = lookup.BanHistory(state.guid, -1);
        BanSyncBan ban;
        for (std::size_t i = 0; i < servers.size(); ++i) {
            if (BanHeldOn(records, servers[i])) {
                ++plan.held[i];
            } else {
                ban.servers.push_back(i);
            }
        }
        if (ban.servers.empty()) {
            continue;
        }
        ban.target = BanTarget{Utf8ToWindows1252(state.guid),
                               Utf8ToWindows1252(BanSyncAddress(records, lookup, state.guid)),
                               Utf8ToWindows1252(state.name)};
        ban.state = std::move(state);
        plan.bans.push_back(std::move(ban));
    }
    return plan;
}
