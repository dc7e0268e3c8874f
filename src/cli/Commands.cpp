#include "Commands.h"

#include "TextEscapes.h"

#include <cstdio>

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"config", RunConfig},   {"lines", RunLines},     {"follow", RunFollow},
        {"players", RunPlayers}, {"init-db", RunInitDb},  {"aliases", RunAliases},
        {"harvest", RunHarvest}, {"db", RunDb},           {"ban", RunBan},
        {"unban", RunUnban},     {"tempban", RunTempBan}, {"bans", RunBans},
        {"status", RunStatus},   {"rcon", RunRcon},       {"kick", RunKick},
        {"say", RunSay},         {"find", RunFind},       {"history", RunHistory},
        {"search", RunSearch},   {"filter", RunFilter},   {"copy", RunCopy},
    };
    return commands;
}

void PrintError(const std::string& text) {
    // An engine's description may quote what a log put in the database.
    std::fprintf(stderr, "quarvelctl: %s\n", TerminalText(text).c_str());
}
