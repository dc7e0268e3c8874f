#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The game's commands a server block may name, as templates with
// placeholders, and their defaults for this game's servers:
//
//   kick=clientkick {slot}
//   tempkick=pb_sv_kick {pbslot} {minutes} "{reason}"
//   say=say {text}
//   userinfo=dumpuser {slot}
//
// Placeholders: {slot} (the server's slot number), {pbslot} (the slot
// counted from 1, as PunkBuster numbers them), {minutes}, {reason}, {text}.
// A brace that does not open "{word}" of letters, digits and underscores is
// plain text. Each command takes only the placeholders it can fill:
enum class ServerCommand { Kick, TempKick, Say, Userinfo };

inline constexpr std::array<ServerCommand, 4> kServerCommands = {
    ServerCommand::Kick, ServerCommand::TempKick, ServerCommand::Say, ServerCommand::Userinfo};

// Kick: slot, pbslot, reason. TempKick: slot, pbslot, minutes, reason.
// Say: text. Userinfo: slot, pbslot.

// The key of a command in a [server] block ("kick", ...).
std::string_view ServerCommandKey(ServerCommand command);
// The command a key names (without regard to case); nothing for other keys.
std::optional<ServerCommand> ServerCommandOfKey(std::string_view key);
std::string_view DefaultCommandTemplate(ServerCommand command);

// The templates of one server, the defaults until its block says otherwise.
struct ServerCommands {
    std::string kick{DefaultCommandTemplate(ServerCommand::Kick)};
    std::string tempkick{DefaultCommandTemplate(ServerCommand::TempKick)};
    std::string say{DefaultCommandTemplate(ServerCommand::Say)};
    std::string userinfo{DefaultCommandTemplate(ServerCommand::Userinfo)};

    std::string& Template(ServerCommand command);
    const std::string& Template(ServerCommand command) const;
};

// Why `text` cannot be the template of `command` (a placeholder the command
// cannot fill, a control character, too long), as one clause naming the key;
// empty when it can.
std::string CheckCommandTemplate(ServerCommand command, std::string_view text);

// What fills the placeholders; a placeholder whose value is missing makes
// the expansion fail.
struct CommandValues {
    std::optional<int> slot = std::nullopt;    // 0 or more
    std::optional<int> minutes = std::nullopt; // 1 or more
    std::optional<std::string_view> reason = std::nullopt;
    std::optional<std::string_view> text = std::nullopt;
};

// The command text, or why there is none (one sentence, UTF-8).
struct ExpandedCommand {
    std::string command;
    std::string error;

    bool ok() const { return error.empty(); }
};

// Fills the template's placeholders in one pass (braces in a filled value are
// never read as placeholders). {reason} and {text} are the admin's own text
// and may sit inside the template's quotes, where the server's tokenizer would
// end the argument at a double quote: a double quote in them becomes a single
// quote and control bytes are dropped. An unknown placeholder fails the
// expansion rather than going out as text. The result has no "rcon" prefix
// and no password; the RCON layer adds them and refuses a datagram over its
// 255 bytes.
ExpandedCommand ExpandServerCommand(std::string_view templateText, const CommandValues& values);
