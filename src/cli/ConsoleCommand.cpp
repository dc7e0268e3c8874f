// quarvelctl rcon: one console command to one server, and its whole answer.
#include "AppConfig.h"
#include "Arguments.h"
#include "Commands.h"
#include "ServerRequests.h"
#include "Windows1252.h"

int RunRcon(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "rcon", error);
    if (!args || args->positional().empty()) {
        PrintError(args ? "usage: quarvelctl rcon [--config FILE] --server NAME -- COMMAND..."
                        : error);
        return 2;
    }
    int exitCode = 0;
    const auto server = LoadServerForCommand(*args, exitCode);
    if (!server) {
        return exitCode;
    }
    return SendAndPrint(*server, Utf8ToWindows1252(JoinedWords(args->positional())));
}
