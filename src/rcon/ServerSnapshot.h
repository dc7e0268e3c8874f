#pragma once

#include "GuidSource.h"
#include "RconReply.h"
#include "ServerStatus.h"

#include <string>
#include <vector>

// One player of a live server as Quarvel shows it: what `status` printed,
// and the GUID where one is known, with where it came from.
struct LivePlayer {
    StatusPlayer status;
    KnownGuid guid;

    bool operator==(const LivePlayer&) const = default;
};

// What one question of who is on a server brought.
struct ServerSnapshot {
    bool reachable = false; // the server answered (even if only to refuse)
    std::string failure;    // UTF-8: why the players could not be read; empty when they were
    std::string map;
    std::vector<LivePlayer> players; // by slot, as printed

    bool ok() const { return failure.empty(); }
};

// One line of what the snapshot says, UTF-8: "<map>, <n> players" ("1
// player"), or why the players could not be read.
std::string SnapshotSummary(const ServerSnapshot& snapshot);

// The snapshot a reply to `status` makes, GUIDs only from a `guid` column.
ServerSnapshot SnapshotOfStatusReply(const RconReply& reply);

// Whether a player can be asked for his userinfo: he has an address (a bot
// or the loopback has no GUID to give).
bool HasUserinfoGuid(const StatusPlayer& player);
