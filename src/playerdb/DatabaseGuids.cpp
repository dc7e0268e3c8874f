#include "DatabaseGuids.h"

#include "PlayerDatabase.h"
#include "PlayerLookup.h"

std::optional<KnownGuid> DatabaseGuids::Find(int, std::string_view ip) {
    if (ip.empty() || !failure_.empty()) {
        return std::nullopt;
    }
    if (const auto known = known_.find(ip); known != known_.end()) {
        return known->second;
    }
    const PlayerSearchParse parse = ParsePlayerSearch(PlayerSearchMode::Address, ip);
    if (!parse.search || !parse.search->address.exact) {
        return std::nullopt;
    }
    std::optional<KnownGuid> found;
    try {
        const PlayerFindResult result = lookup_.FindPlayers(*parse.search, 1);
        if (!result.players.empty()) {
            found = KnownGuid{result.players.front().guid, GuidFrom::Database};
        }
    } catch (const DatabaseError& error) {
        failure_ = error.what();
        return std::nullopt;
    }
    known_.emplace(std::string(ip), found);
    return found;
}
