#pragma once

#include "BanOutcome.h"
#include "BanRecord.h"
#include "BanState.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class BanStates;
class PlayerLookup;

// What a ban sync has to do, read from the player database before anything
// is sent: every active permanent ban, and which configured servers do not
// hold it by their latest recorded outcome. Temp-bans are not taken to the
// servers: they are enforced at each connect and run out by themselves.

// One active permanent ban and the servers it is to be sent to.
struct BanSyncBan {
    BanState state;
    // What the ban command sends, as log bytes: the GUID, the address the
    // player was last recorded with (empty when none is known: not sent) and
    // the name the ban gave.
    BanTarget target;
    std::vector<std::size_t> servers; // indexes into the server list, in list order
};

struct BanSyncPlan {
    std::vector<BanSyncBan> bans; // only bans some server still lacks
    std::vector<int> held;        // per server: the bans it holds already
    int permanentBans = 0;        // every active permanent ban

    // The ban commands the plan sends, one a ban and server.
    int Requests() const;
};

// Whether the server named `server` (UTF-8) holds the ban by its latest
// recorded outcome: among `records` (one GUID's, newest first), the newest
// ban or unban on that server is a ban it carried out, or refused because the
// GUID was on its ban list already. Kicks, temp-kicks, messages and the ban
// state's own records (no server name) say nothing of a server's ban list and
// are passed over; an unban, or a ban that failed, is not held.
bool BanHeldOn(const std::vector<BanRecord>& records, std::string_view server);

// The address a ban of the GUID goes out with (UTF-8): the newest of its
// records that has one (the ban state's own record keeps the address the ban
// was made with), or else the address of its newest sighting in the player
// database; empty when neither knows one.
std::string BanSyncAddress(const std::vector<BanRecord>& records, PlayerLookup& lookup,
                           std::string_view guid);

// Reads the plan for the servers named `servers` (UTF-8, in list order).
// Raises DatabaseError.
BanSyncPlan ReadBanSyncPlan(BanStates& states, PlayerLookup& lookup,
                            const std::vector<std::string>& servers);
