#pragma once

#include "Messages.h"

#include <optional>
#include <string>
#include <string_view>

// What a ban or unban asks of a server and what came of it there: the RCON
// flows make these and hand them to a ServerOutcomeRecorder; the player
// database's ban records are one. Both include this, neither the other.

// The player a ban is for, as the Player Info window was filled: log bytes.
struct BanTarget {
    std::string guid; // 32 hexadecimal digits, or empty
    std::string ip;   // the address text of the player's connection
    std::string name; // the name as written in the log line, colour codes included
};

// What became of the command on one server.
enum class ServerOutcome {
    Done,    // the server carried it out
    Refused, // the server refused it (already banned, not banned)
    Failed,  // no answer, a bad answer, a socket failure, or not sent
    Skipped, // the user cancelled the reason
};

struct ServerResult {
    std::string server; // the server's name (log bytes)
    ServerOutcome outcome = ServerOutcome::Failed;
    Message message; // what the user was shown; empty text for a skipped server
};

// What was done to a player: a ban or unban (the ban flows, on every server),
// or a kick, temp-kick or message on the one server he is on (the Servers
// panel, quarvelctl kick and say).
enum class BanAction { Ban, Unban, Kick, TempKick, Message };

// The word the ban records keep for an action.
constexpr std::string_view BanActionWord(BanAction action) {
    switch (action) {
    case BanAction::Ban:
        return "ban";
    case BanAction::Unban:
        return "unban";
    case BanAction::Kick:
        return "kick";
    case BanAction::TempKick:
        return "tempkick";
    case BanAction::Message:
        return "message";
    }
    return "";
}

// One server's outcome of an action, as it is handed on to be kept: what was
// asked of which player, and how the server answered. Texts are log bytes;
// the message is the one the user is shown (UTF-8).
struct ServerOutcomeRecord {
    BanAction action = BanAction::Ban;
    const BanTarget& target; // an unban knows the name and address only when its caller did
    std::string_view reason; // empty for an unban; for a message, the text said
    const ServerResult& result;
    std::optional<int> minutes = std::nullopt; // a temp-kick's
};

// Where every server's outcome is handed as soon as it is known, before the
// user is told: the player database's ban records. A server skipped with
// Cancel has no outcome to keep. Recording must not throw: a record that
// cannot be kept never stops or undoes the command.
class ServerOutcomeRecorder {
public:
    virtual ~ServerOutcomeRecorder() = default;
    virtual void Record(const ServerOutcomeRecord& record) = 0;
};
