// quarvelctl rcon: one console command to one server, and its whole answer.
#include "AppConfig.h"
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "ServerRequests.h"
#include "Windows1252.h"

#include <cstdio>

int RunRcon(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "rcon", error);
    if (!args || args->positional().empty()) {
        PrintError(args ? "usage: quarvelctl rcon [--config FILE] --server NAME -- COMMAND..."
                        : error);
        return 2;
    }
    const auto config = LoadConfigForCommand(*args);
    if (!config) {
        return 1;
    }
    const auto servers = ChooseServers(*config, *args, true);
    if (!servers) {
        return 2;
    }
    const ServerEntry& server = servers->front();
    const RconReply reply = SendAndWait(server, Utf8ToWindows1252(JoinedWords(args->positional())));
    const std::string out = Windows1252ToUtf8(reply.text);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return ExitCodeOfReply(reply, server.name);
}
