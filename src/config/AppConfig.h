#pragma once

#include <cstdio>
#include <forward_list>
#include <string>

// One game server of the configuration: a "[server]" block.
struct ServerEntry {
    static constexpr std::size_t kTextLimit = 39; // name, address, rconpass

    std::string name;     // caption of the server's RCON messages
    std::string address;  // dotted IPv4 address or host name
    int port = 0;         // RCON port
    std::string rconpass; // RCON password
};

// The program's configuration, read once from quarvel.cfg:
//
//   [server]          one block per game server, any number
//   name=Main         up to 39 characters each
//   address=1.2.3.4
//   port=28960
//   rconpass=secret
//   [database]
//   file=players.sqlite   an SQLite file, or a postgresql:// URI
//
// Section names and keys are compared without regard to case. The server list
// holds the blocks in reverse file order: the last block is used first.
// AppConfigReader reads the file into it.
class AppConfig {
public:
    static constexpr std::size_t kDatabasePathLimit = 79;

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

    std::string path; // of the configuration file
    std::forward_list<ServerEntry> servers;
    std::string databasePath; // the "file" value as read
};
