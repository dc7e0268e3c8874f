#include "Commands.h"

#include <cstdio>

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"config", RunConfig},   {"lines", RunLines},    {"follow", RunFollow},
        {"players", RunPlayers}, {"init-db", RunInitDb}, {"aliases", RunAliases},
        {"harvest", RunHarvest}, {"db", RunDb},          {"ban", RunBan},
        {"unban", RunUnban},     {"find", RunFind},      {"history", RunHistory},
        {"search", RunSearch},   {"copy", RunCopy},
    };
    return commands;
}

void PrintError(const std::string& text) {
    std::fprintf(stderr, "quarvelctl: %s\n", text.c_str());
}
