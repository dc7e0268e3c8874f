#pragma once

#include "BanOutcome.h"
#include "RconReply.h"
#include "ServerCommands.h"

#include <optional>
#include <string>
#include <string_view>

// What the Servers panel and quarvelctl kick and say do to a player on one
// server (its kick=, tempkick= and say= commands), what came of it, and what
// the ban records keep of it: both faces tell and keep it alike.

// What the ban records keep of an action beside its player and outcome.
struct PlayerAction {
    BanAction action = BanAction::Kick;
    std::string reason;                        // log bytes; for a message, the text said
    std::optional<int> minutes = std::nullopt; // a temp-kick's

    // The command that carries out this kick or temp-kick of `slot` on a
    // server with `commands` (its kick= or tempkick= template filled in), or
    // why there is none.
    ExpandedCommand KickCommand(const ServerCommands& commands, int slot) const;

    // Hands one server's outcome to the recorder, when there is one.
    void Record(ServerOutcomeRecorder* recorder, const BanTarget& target,
                const ServerResult& result) const;
};

// The action a server command makes with these values; none for userinfo=,
// which only asks.
std::optional<PlayerAction> PlayerActionOf(ServerCommand command, const CommandValues& values);

// Whether a server's answer says it does not know the command it was sent
// ("Unknown command ...", either case).
bool IsUnknownCommandAnswer(std::string_view answer);

// What became of a command on its server: Done once the server answered
// (its answer is the message, "Done" when it said nothing), except an
// answer that it does not know the command, which fails as a bad reply;
// Refused when it refused the password; Failed otherwise, with the
// long-standing texts.
ServerResult ActionResult(const RconReply& reply, std::string_view serverName);

// A command its template could not make (`error`, UTF-8): Failed, nothing
// sent.
ServerResult ActionNotSent(std::string_view serverName, std::string error);
