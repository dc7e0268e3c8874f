#include "CommandTable.h"

#include "QuarvelVersion.h"

#include <algorithm>

namespace {

const OptionEntry kConfigOption{"config", "FILE",
                                "read the configuration from FILE instead of the usual places",
                                Completion::AnyFile};
const ArgumentEntry kLogArgument{"LOG", "the log file", Completion::LogFile};
const ExitEntry kUsageExit{2, "the command line is wrong"};
const ExitEntry kUnreadableLogExit{2, "the command line is wrong or the log cannot be read"};
const ExitEntry kDatabaseExit{
    1, "the configuration cannot be read, no player database is configured, or the database fails"};

} // namespace

const std::vector<CommandEntry>& CommandTable() {
    static const std::vector<CommandEntry> table = {
        {"config",
         "config [--config FILE] [--show-secrets]   print the configuration as JSON",
         {},
         {kConfigOption,
          {"show-secrets", nullptr, "print the RCON passwords and a database URI's password"}},
         "Loads the configuration file and prints it as one JSON object: the servers in the "
         "order they are asked, each with its keys and command templates, and the player "
         "database. Passwords show as ******** unless --show-secrets is given. Each line of "
         "the file that is refused is said on the error output.",
         {{0, "the configuration was printed"},
          {1, "the configuration file cannot be read"},
          kUsageExit}},
        {"lines",
         "lines LOG [--from N] [--count M]   print the log's lines as JSON Lines",
         {kLogArgument},
         {{"from", "N", "the first line printed, counted from 0 (default 0)"},
          {"count", "M", "the most lines printed (default: every line)"}},
         "Classifies the log and prints its lines as JSON Lines, one object a line: line, "
         "byteLength, visibleLength, text and segments (kind, byte and visible start and "
         "length, player). A line of any length is printed whole; of a line longer than 2 GiB "
         "the segments cover the first 2 GiB.",
         {{0, "the lines were printed"}, kUnreadableLogExit}},
        {"follow",
         "follow LOG [--idle-exit SECONDS] [--config FILE] [--harvest [--no-lines] [--report "
         "SECONDS] [--rotate-grace SECONDS] [--server NAME]]   the log's lines, then every line "
         "appended, as JSON "
         "Lines",
         {kLogArgument},
         {{"idle-exit", "SECONDS",
           "stop once the file has not changed for SECONDS seconds (default: never)"},
          kConfigOption,
          {"harvest", nullptr,
           "also keep the configured player database current, one transaction a batch, keeping "
           "the follower's place in the log there"},
          {"no-lines", nullptr, "with --harvest: print no lines, only harvest them"},
          {"report", "SECONDS",
           "with --harvest: a counter line at most every SECONDS seconds (default 60; 0: after "
           "every batch), and at every change of state"},
          {"rotate-grace", "SECONDS",
           "with --harvest: after a rotation, read the old file on until it has not grown for "
           "SECONDS seconds (default 5)"},
          {"server", "NAME",
           "with --harvest: the server whose bans are enforced (default: the one whose log= "
           "names LOG)"}},
         "Prints the log's lines as lines does, then every line appended later as soon as its "
         "line end is written, each batch flushed at once. After a truncation or a rotation it "
         "prints {\"reset\": \"truncated\"} or {\"reset\": \"replaced\"} and the new file's lines "
         "from 0. With --harvest the lines also go into the player database; the follower's "
         "place in the log (the file, the byte offset harvested, the slots) is stored with "
         "every batch, and a follower started again on the same file goes on from there; a "
         "replaced or truncated file is harvested from its beginning. A database that cannot "
         "be reached is said once on the error output and tried again after 1 s, doubling to "
         "30 s, the place in the log kept. After a rotation the old file is read on through "
         "its open descriptor, and harvested, until it has been quiet for the grace. Runs until "
         "SIGINT or SIGTERM, or until --idle-exit says. With --harvest on the log of a "
         "configured server, each ClientConnect line appended while it runs (of a file that takes "
         "the "
         "log's place, the latest of each slot) whose GUID has an active ban is kicked at once "
         "from its slot on that server only (temp-kicked for what "
         "is left of a temp-ban), with the ban's reason, kept in the ban records and said on "
         "the error output. The service quarvel-harvest@.service "
         "runs it with --harvest --no-lines.",
         {{0, "stopped by a signal or by --idle-exit"},
          {1, "with --harvest: no player database, or one that cannot be used (no such "
              "database, credentials refused, not a player database, a newer schema, a row "
              "refused)"},
          kUnreadableLogExit}},
        {"players",
         "players LOG [--walks N]            print the player and GUID tables as JSON",
         {kLogArgument},
         {{"walks", "N",
           "classify N times (default 1); a log is classified once, so any N of 1 or more "
           "prints the same, and 0 prints the tables before classification"}},
         "Classifies the log and prints the 64 player slots, every GUID with its names newest "
         "first, and the number of connection records, as one JSON object.",
         {{0, "the tables were printed"}, kUnreadableLogExit}},
        {"init-db",
         "init-db TARGET                     create a new player database (SQLite file "
         "or postgresql:// URI)",
         {{"TARGET", "a new SQLite file, or a postgresql:// URI of an empty database",
           Completion::AnyFile}},
         {},
         "Creates a new player database: an SQLite file, or the tables in an empty PostgreSQL "
         "database. It never touches an existing one.",
         {{0, "the database was created"},
          {1, "the database exists already or cannot be created"},
          kUsageExit}},
        {"aliases",
         "aliases [--config FILE] GUID       print the names the player database holds "
         "for a GUID",
         {{"GUID", "the player's GUID"}},
         {kConfigOption},
         "Prints every name the configured player database holds for the GUID, one a line in "
         "byte order, its backslashes and control characters escaped as JSON escapes them.",
         {{0, "the names were printed"},
          {1, "the GUID is not in the database, or the database cannot be used"},
          kUsageExit}},
        {"harvest",
         "harvest [--config FILE] LOG...     harvest each log's players into the player "
         "database",
         {{"LOG...", "the log files", Completion::LogFile}},
         {kConfigOption},
         "Runs the Database update over each log in turn: a progress bar on the error output "
         "when it is a terminal, then \"GUIDs new <n> total <n>; Players new <n> total <n>\" per "
         "log. An engine error prints its description and stops, keeping what was stored.",
         {{0, "every log was harvested"}, kDatabaseExit, kUnreadableLogExit}},
        {"db",
         "db status|upgrade [--config FILE]   the player database's schema version, counts and "
         "followers; or bring it up to date",
         {{"ACTION", "status: print the schema version, the tables' rows and each follower's "
                     "place as one JSON object; upgrade: bring the database to this program's "
                     "schema version"}},
         {kConfigOption},
         "status opens the configured player database without changing it and prints one JSON "
         "object: schemaVersion (0 for a database from before versions were kept), "
         "programSchemaVersion, the rows of GUID, Players and Ban_Records (guids, players, "
         "banRecords), activeBans (the bans that hold now; null before ban states), the "
         "upgrades the database has had, and followers: each follower's host, log, file (device, "
         "inode), "
         "offset harvested, slots held and when the place was stored. upgrade takes the "
         "upgrade steps a program that writes to the database takes by itself, saying what "
         "each did; on a shared database it lets the owner of the tables upgrade them for "
         "users who may only write rows.",
         {{0, "the status was printed, or the database is up to date"}, kDatabaseExit, kUsageExit}},
        {"ban",
         "ban [--config FILE] --guid G --name N --ip I --reason R   ban a GUID on "
         "every server",
         {},
         {kConfigOption,
          {"guid", "G", "the player's GUID"},
          {"name", "N", "the player's name"},
          {"ip", "I", "the player's address"},
          {"reason", "R", "the reason given to every server"}},
         "Bans the GUID on every configured server over RCON, the last [server] block first, "
         "and prints \"<server name>: <message>\" per server. With a player database, a ban "
         "record is stored per server asked, and then the GUID is banned permanently in the "
         "ban state, whatever the servers answered (a server that was down or is added later "
         "is to get the ban from the state): \"Ban state: <what it did>\". A permanent ban "
         "replaces an active temp-ban; a GUID banned permanently already stays as it was.",
         {{0, "every server carried the ban out, and the ban state holds it"},
          {1, "a server did not, no server is configured, a ban record was not stored, or the "
              "ban state was not kept"},
          kUsageExit}},
        {"unban",
         "unban [--config FILE] --guid G [--reason R]   lift a GUID's ban on every server",
         {},
         {kConfigOption,
          {"guid", "G", "the player's GUID"},
          {"reason", "R", "why the ban is lifted, kept with the ban state (servers are not told)"}},
         "Lifts the GUID's ban on every configured server as ban does, with its records; with "
         "a player database, then lifts its ban state too, permanent or temporary, whatever the "
         "servers answered: \"Ban state: <what it did>\".",
         {{0, "every server lifted the ban, and the ban state is lifted or held no ban"},
          {1, "a server did not, no server is configured, a ban record was not stored, or the "
              "ban state was not kept"},
          kUsageExit}},
        {"tempban",
         "tempban [--config FILE] --guid G --minutes N --reason TEXT [--name N]   ban a GUID for "
         "a while, in the ban state",
         {},
         {kConfigOption,
          {"guid", "G", "the player's GUID"},
          {"minutes", "N", "how long the ban lasts from now, 1 to 5270400 (ten years)"},
          {"reason", "TEXT", "the reason, kept with the state"},
          {"name", "N", "the player's name, kept with the state"}},
         "Temp-bans the GUID in the configured player database's ban state, with a ban record, "
         "and prints \"Ban state: <what it did>\". Then every configured server is asked who "
         "is on it (GUIDs learnt as status learns them), and the player is temp-kicked at once "
         "from each slot he holds, for what is left of the ban that holds him (kicked, when a "
         "permanent ban stands), with its reason: a line \"<server>: <what came of it>\" a "
         "server, each kick kept in the ban records. No ban is sent to the servers: the "
         "harvest services kick him at his next connect until it runs out, and when it runs "
         "out nothing needs lifting. A temp-ban never shortens a ban: a GUID banned "
         "permanently, or until later, stays as it was; a temp-ban ending later than an active "
         "one replaces it.",
         {{0, "the ban state holds the GUID banned at least that long (whatever the servers "
              "answered)"},
          {1, "no player database is configured, the database fails, the GUID is not 32 "
              "hexadecimal digits, or a kick's record was not stored"},
          kUsageExit}},
        {"bans",
         "bans [sync] [--config FILE] [--active] [--guid G] [--name TEXT] [--admin NAME] [--json]  "
         " "
         "list the ban states, newest first, or take the permanent bans to every server",
         {{"sync", "take every active permanent ban to each server that does not hold it yet"}},
         {kConfigOption,
          {"active", nullptr, "only the bans that hold now (not lifted, replaced or run out)"},
          {"guid", "G", "only the states of this GUID, in either letter case"},
          {"name", "TEXT",
           "only GUIDs seen with a name holding this text, or banned under it, letter case "
           "ignored"},
          {"admin", "NAME", "only the states this admin issued or lifted"},
          {"json", nullptr, "print JSON Lines instead of text"}},
         "Prints the ban states of the configured player database, newest first, one a line: "
         "the GUID, its status (banned, banned until <time>, or lifted, replaced or expired "
         "when), since when and by whom, the name and the reason. With --json, one object a "
         "line: guid, kind (permanent or temporary), status (active, expired, lifted or "
         "replaced), name, reason, issuedBy, start, startEpoch, expiry, expiryEpoch, ended, "
         "endedEpoch, liftedBy, liftReason; times as the admin's clock read them and as seconds "
         "since 1970 UTC, null where a state has none. bans sync (with --config only) sends "
         "every active permanent ban, with its reason, to each configured server whose latest "
         "recorded ban or unban of the GUID there is not a success (a ban carried out, or "
         "refused as already on the server's ban list), keeps each server's outcome in the ban "
         "records, and prints a line a server: \"<server>: sent N, succeeded N, failed N, "
         "already held N\", with the first failure.",
         {{0, "bans were printed; for sync: every server holds every permanent ban"},
          {1, "no ban matched, or the database cannot be used; for sync: a server did not take a "
              "ban, no server is configured, or a ban record was not stored"},
          kUsageExit}},
        {"status",
         "status [--config FILE] [--server NAME] [--json]   who is on each server now",
         {},
         {kConfigOption,
          {"server", "NAME", "ask only the server of this name (default: every server)"},
          {"json", nullptr, "print one JSON object a line per server"}},
         "Asks every configured server (or the one named) who is on it, all at once, and "
         "prints per server its map and players: slot, score, ping, name and address, and the "
         "player's GUID where Quarvel knows it, with where from: the server's status, its log, "
         "the player database (the GUID last seen with the address) or the player's userinfo, "
         "and the ban that holds it off now (\"banned\", \"banned until ...\") where the "
         "database knows it. "
         "With --json, one object a server: name, reachable, error, map and players (slot, "
         "name, plainName, score, ping, address, guid, guidFrom, ban); ping is \"connecting\" or "
         "\"zombie\" for such a client. No password is printed.",
         {{0, "every server answered with its players"},
          {1, "a server did not, or the configuration cannot be read"},
          kUsageExit}},
        {"rcon",
         "rcon [--config FILE] --server NAME -- COMMAND...   send a console command and print "
         "the whole answer",
         {{"COMMAND...", "the console command, its words joined by blanks"}},
         {kConfigOption, {"server", "NAME", "the server asked"}},
         "Sends the command to the server over RCON with its password and prints the server's "
         "whole answer, every datagram of it, as it came.",
         {{0, "the server answered"},
          {1, "the configuration cannot be read"},
          {2, "the command line is wrong, or the command cannot be sent"},
          {3, "no reply came"},
          {4, "the server refused the password, or has none set"}}},
        {"kick",
         "kick [--config FILE] --server NAME --slot N [--reason TEXT]   kick a player off a "
         "server",
         {},
         {kConfigOption,
          {"server", "NAME", "the server the player is on"},
          {"slot", "N", "the player's slot, as status shows it"},
          {"reason", "TEXT", "the reason, where the server's kick= command takes one"}},
         "Sends the server's kick command (its kick= template, clientkick {slot} unless the "
         "configuration says otherwise) for the slot and prints the server's answer. With a "
         "player database configured, the server is first asked who is in the slot, and the "
         "kick is kept in the ban records with his GUID where known, name and address.",
         {{0, "the server answered"},
          {1, "the configuration cannot be read, or the kick's record was not stored"},
          {2, "the command line is wrong, or the command cannot be sent"},
          {3, "no reply came"},
          {4, "the server refused the password, or has none set"}}},
        {"say",
         "say [--config FILE] --server NAME -- TEXT...   say a text to everyone on a server",
         {{"TEXT...", "the text, its words joined by blanks"}},
         {kConfigOption, {"server", "NAME", "the server said on"}},
         "Sends the server's say command (its say= template, say {text} unless the "
         "configuration says otherwise) with the text and prints the server's answer. With a "
         "player database configured, the message is kept in the ban records.",
         {{0, "the server answered"},
          {1, "the configuration cannot be read, or the message's record was not stored"},
          {2, "the command line is wrong, or the command cannot be sent"},
          {3, "no reply came"},
          {4, "the server refused the password, or has none set"}}},
        {"find",
         "find [--config FILE] (--name TEXT | --ip PATTERN | --guid PREFIX) [--limit N]   find "
         "players in the player database, as JSON Lines",
         {},
         {kConfigOption,
          {"name", "TEXT", "a part of the colour-free name, letter case ignored"},
          {"ip", "PATTERN",
           "an address (81.2.3.4), a prefix ending in a dot (81.2.) or a network (81.2.0.0/16)"},
          {"guid", "PREFIX", "the first digits of the GUID"},
          {"limit", "N", "print at most N players, with a note when more match"}},
         "The Find player window's search as JSON Lines, one object per matching GUID, newest "
         "lastSeen first, then GUID: guid, names and ips (each once, in byte order), sightings, "
         "firstSeen, lastSeen. Exactly one of --name, --ip and --guid is given.",
         {{0, "players were found"},
          {1, "no player was found, or the database cannot be used"},
          {2, "the command line or the pattern is wrong"}}},
        {"history",
         "history [--config FILE] [--guid G] [--limit N]   print the ban records, newest first, "
         "as JSON Lines",
         {},
         {kConfigOption,
          {"guid", "G", "only the records of this GUID, in either letter case"},
          {"limit", "N", "print at most N records"}},
         "Prints the ban records, newest first, as JSON Lines: time, action (ban, unban, "
         "kick, tempkick or message), guid, name, ip, reason (for a message, the text said), "
         "server, result, admin, and minutes (a temp-kick's, else null); what an action did "
         "not know is an empty string.",
         {{0, "the records were printed"}, {1, "the database cannot be used"}, kUsageExit}},
        {"search",
         "search LOG --text T [--regex] [--case] [--backwards] [--caret L:C] [--all]   Find "
         "(and Find next): hits as LINE FIRST LAST, then the closing message",
         {kLogArgument},
         {{"text", "T", "the text or regular expression looked for"},
          {"regex", nullptr, "read the text as a regular expression"},
          {"case", nullptr, "match letter case"},
          {"backwards", nullptr, "search towards the start of the log"},
          {"caret", "L:C", "start at line L, column C (default 0:0)"},
          {"all", nullptr, "Find next until nothing more is found"}},
         "Find from the caret as the log window searches, and with --all Find next until "
         "nothing more is found: each hit as \"<line> <first column> <last column>\", then the "
         "message the window would show.",
         {{0, "something was found"},
          {1, "nothing was found"},
          {2, "the command line or the expression is wrong, the log cannot be read, the "
              "expression takes too much work, or the search came to a line longer than it "
              "can read (2 GiB)"}}},
        {"filter",
         "filter LOG [--text T [--regex] [--case]] [--kind KIND]... [--player GUID] [--not] "
         "[--count] [--json]   the lines that match a filter",
         {kLogArgument},
         {{"text", "T",
           "only lines whose visible text (colour codes hidden) holds the text or regular "
           "expression"},
          {"regex", nullptr, "read the text as a regular expression"},
          {"case", nullptr, "match letter case"},
          {"kind", "KIND",
           "only lines of this event: chat (say, sayteam, tell and the admin chat), kill, "
           "connect or rename (ClientUserinfoChanged); several, given again or separated by "
           "commas, take lines of any of them"},
          {"player", "GUID",
           "only the lines of the player with this GUID, across his renames: his connects, "
           "renames, kills by him or of him, chat and tells"},
          {"not", nullptr, "print the lines the rest of the filter does not take"},
          {"count", nullptr, "print only how many lines match"},
          {"json", nullptr, "print the lines as JSON Lines, as lines prints them"}},
         "Prints the lines that match every option given (all lines when none is), each as its "
         "number (counted from 0), a tab and its text, or as lines prints them with --json, or "
         "only their number with --count; the filtered pane of the log window shows the same "
         "lines. The text is looked for as Find does, in the visible text of each line.",
         {{0, "a line matched"},
          {1, "no line matched"},
          {2, "the command line or the expression is wrong, the log cannot be read, or the "
              "expression takes too much work"}}},
        {"copy",
         "copy LOG L1:C1 L2:C2 (--text | --html)   the bytes Copy puts on the clipboard",
         {kLogArgument,
          {"L1:C1", "the selection's first character: line and column"},
          {"L2:C2", "the selection's last character, included"}},
         {{"text", nullptr, "print the plain text"},
          {"html", nullptr, "print the \"HTML Format\" document"}},
         "Prints the bytes Copy puts on the clipboard for the selection from (L1, C1) to (L2, "
         "C2), both ends included: the plain text or the HTML document. On a terminal they are "
         "shown as text instead, decoded and with their control characters escaped as JSON "
         "escapes them.",
         {{0, "the bytes were printed"},
          {1, "the HTML document would reach 100000000 bytes"},
          {2, "the command line or the selection is wrong, or the log cannot be read"}}},
    };
    return table;
}

const CommandEntry* FindCommandEntry(std::string_view name) {
    const auto& table = CommandTable();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const CommandEntry& entry) { return entry.name == name; });
    return found == table.end() ? nullptr : &*found;
}

std::string_view Synopsis(const CommandEntry& command) {
    const std::string_view usage = command.usage;
    return usage.substr(0, usage.find("   "));
}

std::string_view Summary(const CommandEntry& command) {
    const std::string_view usage = command.usage;
    const auto gap = usage.find("   ");
    return gap == std::string_view::npos ? std::string_view()
                                         : usage.substr(usage.find_first_not_of(' ', gap));
}

const std::vector<ExitEntry>& CommonExits() {
    static const std::vector<ExitEntry> exits = {
        {0, "the command did what it was asked"},
        {1, "the command ran but failed (see each command)"},
        {2, "the command line is wrong, or a file cannot be read"},
        {3, "a failure no command expected, out of memory above all"},
    };
    return exits;
}

namespace {

// `text` broken into lines of at most `width` characters, each indented.
std::string Wrapped(std::string_view text, std::size_t indent, std::size_t width) {
    std::string out;
    std::size_t column = 0;
    while (!text.empty()) {
        const auto end = text.find(' ');
        const std::string_view word = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (column > indent && column + 1 + word.size() > width) {
            out += '\n';
            column = 0;
        }
        if (column == 0) {
            out.append(indent, ' ');
            column = indent;
        } else {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
    }
    return out + '\n';
}

// Two columns: each name, then its text from the same column on.
std::string Columns(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::size_t nameWidth = 0;
    for (const auto& row : rows) {
        nameWidth = std::max(nameWidth, row.first.size());
    }
    std::string out;
    for (const auto& [name, text] : rows) {
        const std::string head = "  " + name + std::string(nameWidth - name.size() + 2, ' ');
        std::string body = Wrapped(text, head.size(), 79);
        out += head + body.substr(head.size());
    }
    return out;
}

} // namespace

std::string ProgramHelp() {
    std::string out = "usage: quarvelctl COMMAND [ARGS]\n\ncommands:\n";
    for (const CommandEntry& command : CommandTable()) {
        out += std::string("  ") + command.usage + "\n";
    }
    out += "\noptions:\n";
    out += Columns({{"-h, --help", kHelpOptionHelp}, {"--version", kVersionOptionHelp}});
    out += "\n\"quarvelctl COMMAND --help\" describes a command.\n";
    return out;
}

std::string CommandHelp(const CommandEntry& command) {
    std::string out = "usage: quarvelctl " + std::string(Synopsis(command)) + "\n\n";
    out += std::string(Summary(command)) + "\n\n";
    out += Wrapped(command.description, 0, 79);
    if (!command.arguments.empty()) {
        std::vector<std::pair<std::string, std::string>> rows;
        for (const ArgumentEntry& argument : command.arguments) {
            rows.emplace_back(argument.name, argument.help);
        }
        out += "\narguments:\n" + Columns(rows);
    }
    std::vector<std::pair<std::string, std::string>> rows;
    for (const OptionEntry& option : command.options) {
        rows.emplace_back(std::string("--") + option.name +
                              (option.valueName ? std::string(" ") + option.valueName : ""),
                          option.help);
    }
    rows.emplace_back("-h, --help", kHelpOptionHelp);
    out += "\noptions:\n" + Columns(rows);
    rows.clear();
    for (const ExitEntry& exit : command.exits) {
        rows.emplace_back(std::to_string(exit.code), exit.meaning);
    }
    rows.emplace_back("3", CommonExits().back().meaning);
    out += "\nexit status:\n" + Columns(rows);
    return out;
}

std::string VersionLine() {
    return std::string("quarvelctl ") + kQuarvelVersion;
}
