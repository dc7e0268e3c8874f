#pragma once

#include "BanRecord.h"
#include "PlayerSearch.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One GUID that a find matched, with what the database holds of it. Texts are
// UTF-8; names and addresses each once, in byte order.
struct FoundPlayer {
    std::string guid;
    std::string latestName;             // the name of its newest row, colour codes included
    std::string latestAddress;          // the address of its newest row
    std::vector<std::string> names;     // every colour-free name
    std::vector<std::string> addresses; // every address
    int sightings = 0;                  // its Players rows
    std::string firstSeen;              // the smallest Rec_Created, "YYYY-MM-DD"
    std::string lastSeen;               // the largest
};

struct PlayerFindResult {
    // Newest lastSeen first, then by GUID.
    std::vector<FoundPlayer> players;
    // More GUIDs matched than the limit let through.
    bool cut = false;
};

// The player database as the look-ups see it: reads only. SqlPlayerLookup is
// the real one; window tests put in their own. Every operation may raise
// DatabaseError with the engine's description.
class PlayerLookup {
public:
    virtual ~PlayerLookup() = default;

    virtual void Open() = 0;
    virtual void Close() = 0;

    // The GUIDs with at least one Players row that matches (for a GUID
    // search: whose GUID matches and that have a Players row), at most
    // `limit` of them; every one when `limit` is negative.
    virtual PlayerFindResult FindPlayers(const PlayerSearch& search, int limit) = 0;

    // The ban records of a GUID (every record when `guid` is empty), newest
    // first, ties in reverse order of storing; at most `limit` (every one when
    // negative). A database without the records' table has none.
    virtual std::vector<BanRecord> BanHistory(std::string_view guid, int limit) = 0;
};
