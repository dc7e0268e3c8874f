#include "Commands.h"

#include <cstdio>

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"config", "config [--config FILE]            print the configuration as JSON", RunConfig},
        {"lines", "lines LOG [--from N] [--count M]   print the log's lines as JSON Lines",
         RunLines},
        {"follow",
         "follow LOG [--idle-exit SECONDS] [--config FILE] [--harvest]   the log's lines, then "
         "every line appended, as JSON Lines",
         RunFollow},
        {"players", "players LOG [--walks N]            print the player and GUID tables as JSON",
         RunPlayers},
        {"init-db",
         "init-db TARGET                     create a new player database (SQLite file "
         "or postgresql:// URI)",
         RunInitDb},
        {"aliases",
         "aliases [--config FILE] GUID       print the names the player database holds "
         "for a GUID",
         RunAliases},
        {"harvest",
         "harvest [--config FILE] LOG...     harvest each log's players into the player "
         "database",
         RunHarvest},
        {"ban",
         "ban [--config FILE] --guid G --name N --ip I --reason R   ban a GUID on "
         "every server",
         RunBan},
        {"unban", "unban [--config FILE] --guid G     lift a GUID's ban on every server", RunUnban},
        {"find",
         "find [--config FILE] (--name TEXT | --ip PATTERN | --guid PREFIX) [--limit N]   find "
         "players in the player database, as JSON Lines",
         RunFind},
        {"history",
         "history [--config FILE] [--guid G] [--limit N]   print the ban records, newest first, "
         "as JSON Lines",
         RunHistory},
        {"search",
         "search LOG --text T [--regex] [--case] [--backwards] [--caret L:C] [--all]   Find "
         "(and Find next): hits as LINE FIRST LAST, then the closing message",
         RunSearch},
        {"copy", "copy LOG L1:C1 L2:C2 (--text | --html)   the bytes Copy puts on the clipboard",
         RunCopy},
    };
    return commands;
}

void PrintError(const std::string& text) {
    std::fprintf(stderr, "quarvelctl: %s\n", text.c_str());
}
