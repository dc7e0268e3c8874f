#pragma once

#include "ConfigValues.h"
#include "ServerCommands.h"

#include <cstdio>
#include <forward_list>
#include <string>
#include <vector>

// One game server of the configuration: a "[server]" block.
struct ServerEntry {
    static constexpr std::size_t kTextLimit = kServerTextLimit; // name, address, rconpass

    std::string name;     // caption of the server's RCON messages
    std::string address;  // dotted IPv4 address or host name
    int port = 0;         // RCON port
    std::string rconpass; // RCON password

    // Initialised here so that the four fields above may be given alone.
    std::string log{};              // the path of the server's log, as written; empty when none
    int poll = kDefaultPollSeconds; // seconds between two questions of who is on
    ServerCommands commands{};      // the game's commands, as templates
};

// A line of the configuration that was not taken, and why: a clause naming
// the key and what became of the line (ASCII, quoting no value).
struct ConfigRefusal {
    std::size_t line = 0; // counted from 1
    std::string text;

    bool operator==(const ConfigRefusal&) const = default;
};

// The program's configuration, read once from quarvel.cfg:
//
//   [server]          one block per game server, any number
//   name=Main         up to 39 characters each
//   address=1.2.3.4   a dotted IPv4 address or a host name
//   port=28960
//   rconpass=secret
//   log=/srv/game/games.log   optional: the server's log
//   poll=5                    optional: seconds between status questions
//   kick=clientkick {slot}    optional: the game's commands (ServerCommands.h)
//   [database]
//   file=players.sqlite   an SQLite file, or a postgresql:// URI (1,000 characters)
//
// Section names and keys are compared without regard to case; keys this
// program does not know are skipped. The server list holds the blocks in
// reverse file order: the last block is used first. A value that breaks its
// rule (ConfigValues.h) is refused, never cut: a server block with a refused
// line is left out of the list, a refused database value leaves no database,
// and each refusal is kept in `refusals`. AppConfigReader reads the file.
class AppConfig {
public:
    static constexpr std::size_t kDatabasePathLimit = kDatabaseValueLimit;

    // Reads the file at `path` into a new server list. False when it cannot
    // be opened or is not a regular file.
    bool Load();
    // Reads the lines of an open file into the lists as they are. False when
    // a read failed.
    bool LoadFrom(std::FILE* file);

    // The database the configuration names: empty when none; a postgresql://
    // URI as written; a relative file name taken relative to the folder of
    // the configuration file.
    std::string DatabaseLocation() const;
    // A server's log, a relative path taken as the database's is; empty when
    // the block names none.
    std::string LogLocation(const ServerEntry& server) const;

    // Each refusal as the user is told it: "<path>, line <n>: <text>."
    std::vector<std::string> RefusalMessages() const;

    std::string path; // of the configuration file
    std::forward_list<ServerEntry> servers;
    std::string databasePath;            // the "file" value as read
    std::vector<ConfigRefusal> refusals; // in file order
};
