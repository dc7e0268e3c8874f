#include "KickWherePlaying.h"

#include "ServerCommands.h"
#include "ServerStatus.h"
#include "Windows1252.h"

#include <algorithm>
#include <cctype>

// One server's part of the run: its question of who is on it, then one kick
// a slot the GUID holds.
struct KickWherePlaying::Server {
    std::unique_ptr<StatusQuery> query;
    std::vector<ServerResult> kicks; // one a slot, in slot order
    std::size_t kicksLeft = 0;
};

namespace {

std::string UpperGuid(std::string guid) {
    std::ranges::transform(guid, guid.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return guid;
}

bool SameGuid(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::ranges::equal(a, b, [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

// The outcome of every kick on one server: the worst one (a failure over a
// refusal over a success); the message names each slot with what the server
// said.
ServerResult CombinedResult(const std::string& server, const std::vector<int>& kickedSlots,
                            const std::vector<ServerResult>& kicks) {
    ServerResult combined{server, ServerOutcome::Done, {}};
    const auto rank = [](ServerOutcome outcome) {
        return outcome == ServerOutcome::Failed ? 2 : outcome == ServerOutcome::Refused ? 1 : 0;
    };
    for (std::size_t i = 0; i < kicks.size(); ++i) {
        if (rank(kicks[i].outcome) > rank(combined.outcome)) {
            combined.outcome = kicks[i].outcome;
            combined.message.icon = kicks[i].message.icon;
        }
        if (!combined.message.text.empty()) {
            combined.message.text += "; ";
        }
        combined.message.text +=
            "slot " + std::to_string(kickedSlots[i]) + ": " + kicks[i].message.text;
    }
    combined.message.caption = Windows1252ToUtf8(server);
    return combined;
}

} // namespace

KickWherePlaying::KickWherePlaying(RconClient& client, std::vector<ServerEntry> servers,
                                   std::string guid, PlayerAction action, DeferredGuidSource* guids,
                                   ServerOutcomeRecorder* recorder, QObject* parent)
    : QObject(parent), client_(client), servers_(std::move(servers)),
      guid_(UpperGuid(std::move(guid))), action_(std::move(action)), guids_(guids),
      recorder_(recorder) {}

KickWherePlaying::~KickWherePlaying() = default;

void KickWherePlaying::Start() {
    if (started_) {
        return;
    }
    started_ = true;
    results_.assign(servers_.size(), ServerResult{});
    slots_.assign(servers_.size(), {});
    left_ = servers_.size();
    if (left_ == 0) {
        QMetaObject::invokeMethod(this, &KickWherePlaying::finished, Qt::QueuedConnection);
        return;
    }
    for (std::size_t i = 0; i < servers_.size(); ++i) {
        auto& server = running_.emplace_back(std::make_unique<Server>());
        server->query = std::make_unique<StatusQuery>(client_, servers_[i],
                                                      std::vector<GuidSource*>{}, nullptr);
        server->query->SetDeferredSource(guids_);
        connect(server->query.get(), &StatusQuery::finished, this, [this, i] { StatusDone(i); });
    }
    for (const auto& server : running_) {
        server->query->Start();
    }
}

void KickWherePlaying::StatusDone(std::size_t index) {
    const ServerEntry& entry = servers_[index];
    const ServerSnapshot& snapshot = running_[index]->query->snapshot();
    const BanTarget unknown{guid_, {}, {}};
    if (!snapshot.ok()) {
        results_[index] = {
            entry.name, ServerOutcome::Failed,
            Message{snapshot.failure, Windows1252ToUtf8(entry.name), MessageIcon::Warning}};
        action_.Record(recorder_, unknown, results_[index]);
        ServerDone(index);
        return;
    }
    std::vector<BanTarget> players;
    for (const LivePlayer& player : snapshot.players) {
        if (SameGuid(player.guid.guid, guid_)) {
            slots_[index].push_back(player.status.slot);
            players.push_back(
                {guid_, std::string(AddressIp(player.status.address)), player.status.name});
        }
    }
    if (players.empty()) {
        results_[index] = {entry.name, ServerOutcome::Skipped,
                           Message{guid_ + " is not on this server", Windows1252ToUtf8(entry.name),
                                   MessageIcon::None}};
        ServerDone(index);
        return;
    }
    Server& server = *running_[index];
    server.kicks.assign(players.size(), ServerResult{});
    server.kicksLeft = players.size();
    for (std::size_t k = 0; k < players.size(); ++k) {
        const ExpandedCommand expanded = action_.KickCommand(entry.commands, slots_[index][k]);
        if (!expanded.ok()) {
            server.kicks[k] = ActionNotSent(entry.name, expanded.error);
            action_.Record(recorder_, players[k], server.kicks[k]);
            if (--server.kicksLeft == 0) {
                ServerDone(index);
            }
            continue;
        }
        client_.Send(entry, expanded.command,
                     [this, index, k, player = players[k]](const RconReply& reply) {
                         Server& self = *running_[index];
                         self.kicks[k] = ActionResult(reply, servers_[index].name);
                         action_.Record(recorder_, player, self.kicks[k]);
                         if (--self.kicksLeft == 0) {
                             ServerDone(index);
                         }
                     });
    }
}

void KickWherePlaying::ServerDone(std::size_t index) {
    const Server& server = *running_[index];
    if (!server.kicks.empty()) {
        results_[index] = CombinedResult(servers_[index].name, slots_[index], server.kicks);
    }
    if (--left_ == 0) {
        emit finished();
    }
}

PlayerAction BanKickAction(const BanState& ban, std::int64_t now) {
    PlayerAction action{BanAction::Kick, Utf8ToWindows1252(ban.reason)};
    if (ban.expiry) {
        action.action = BanAction::TempKick;
        action.minutes = static_cast<int>(
            std::clamp<std::int64_t>((*ban.expiry - now + 59) / 60, 1, kMaxBanMinutes));
    }
    return action;
}
