#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a game server's `status` answer says: the map and a table of the
// players on it, one line each, after a header naming the columns and a line
// of dashes, ended by an empty line. Two layouts are read, told apart by
// their header:
//
//   cl score ping name            address                                 rate
//   num score ping name            lastmsg address               qport rate
//
// and any other whose header names its columns the same way (a `guid`
// column among those before the name is read too). The name is padded to
// sixteen visible characters, holds colour codes and may hold blanks, so the
// columns before it are read from the left and those after it from the
// right, and the name is what lies between. A client still connecting, or
// one gone whose slot is not yet free, shows CNCT or CON, ZMBI or ZMB for its
// ping.
enum class PingState {
    Playing,    // the ping is a number
    Connecting, // CNCT, CON
    Zombie,     // ZMBI, ZMB
};

struct StatusPlayer {
    int slot = -1;
    int score = 0;
    int ping = 0; // when playing
    PingState state = PingState::Playing;
    std::string name;    // bytes as printed, colour codes included, padding removed
    std::string address; // as printed: "192.0.2.7:27960", "bot", "loopback"
    std::string guid;    // when the layout has the column
    int rate = 0;

    bool operator==(const StatusPlayer&) const = default;
};

struct ServerStatus {
    bool recognised = false; // a player table was found
    std::string map;
    std::vector<StatusPlayer> players; // in the order printed (by slot)
};

// Reads a `status` answer's text (ReplyAssembly's, print headers removed).
// Lines it cannot read as a player are skipped.
ServerStatus ParseStatus(std::string_view text);

// Whether the text so far holds the whole table: its header, and the empty
// line after the players.
bool IsWholeStatus(std::string_view text);

// The IPv4 address of a player's printed address ("192.0.2.7:27960" gives
// "192.0.2.7"); empty for a bot, the loopback or anything else.
std::string_view AddressIp(std::string_view address);
