// quarvelctl kick and say: the server's own commands for them, as its
// configuration's templates say (kick=, say=), and the server's answer.
#include "AppConfig.h"
#include "Arguments.h"
#include "Commands.h"
#include "ServerCommands.h"
#include "ServerRequests.h"
#include "Windows1252.h"

namespace {

// Sends the expanded command and prints the answer; the exit status as rcon
// gives it.
int SendExpanded(const ServerEntry& server, const ExpandedCommand& command) {
    if (!command.ok()) {
        PrintError(Windows1252ToUtf8(server.name) + ": " + command.error);
        return 2;
    }
    return SendAndPrint(server, command.command);
}

} // namespace

int RunKick(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "kick", error);
    const char* usage = "usage: quarvelctl kick [--config FILE] --server NAME --slot N "
                        "[--reason TEXT]";
    if (!args || !args->positional().empty() || !args->Value("slot")) {
        PrintError(args ? usage : error);
        return 2;
    }
    const auto slot = args->Integer("slot", 0, error);
    if (!slot || *slot < 0 || *slot > 1023) {
        PrintError(slot ? "--slot must be a slot number from 0" : error);
        return 2;
    }
    int exitCode = 0;
    const auto server = LoadServerForCommand(*args, exitCode);
    if (!server) {
        return exitCode;
    }
    const std::string reason = Utf8ToWindows1252(args->Value("reason").value_or(""));
    CommandValues values;
    values.slot = static_cast<int>(*slot);
    values.reason = reason;
    return SendExpanded(*server, ExpandServerCommand(server->commands.kick, values));
}

int RunSay(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "say", error);
    if (!args || args->positional().empty()) {
        PrintError(args ? "usage: quarvelctl say [--config FILE] --server NAME -- TEXT..." : error);
        return 2;
    }
    int exitCode = 0;
    const auto server = LoadServerForCommand(*args, exitCode);
    if (!server) {
        return exitCode;
    }
    const std::string bytes = Utf8ToWindows1252(JoinedWords(args->positional()));
    CommandValues values;
    values.text = bytes;
    return SendExpanded(*server, ExpandServerCommand(server->commands.say, values));
}
