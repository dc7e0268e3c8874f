#include "Commands.h"

#include <cstdio>

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"config", "config [--config FILE]            print the configuration as JSON", RunConfig},
        {"lines", "lines LOG [--from N] [--count M]   print the log's lines as JSON Lines",
         RunLines},
        {"players", "players LOG [--walks N]            print the player and GUID tables as JSON",
         RunPlayers},
    };
    return commands;
}

void PrintError(const std::string& text) { std::fprintf(stderr, "quarvelctl: %s\n", text.c_str()); }
