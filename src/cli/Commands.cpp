#include "Commands.h"

#include <cstdio>

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"config", RunConfig},   {"lines", RunLines},    {"follow", RunFollow},
        {"players", RunPlayers}, {"init-db", RunInitDb}, {"aliases", RunAliases},
        {"harvest", RunHarvest}, {"ban", RunBan},        {"unban", RunUnban},
        {"status", RunStatus},   {"rcon", RunRcon},      {"find", RunFind},
        {"history", RunHistory}, {"search", RunSearch},  {"filter", RunFilter},
        {"copy", RunCopy},
    };
    return commands;
}

void PrintError(const std::string& text) {
    std::fprintf(stderr, "quarvelctl: %s\n", text.c_str());
}
