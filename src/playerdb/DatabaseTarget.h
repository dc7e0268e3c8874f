#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Where the player database is: an SQLite file, or a PostgreSQL database named
// by a connection URI
//
//   postgresql://[user@][host][:port][/dbname][?key=value&...]
//
// with percent-encoded parts (a host starting with "/" after decoding is a
// socket folder). The password never comes from here: the PostgreSQL client
// finds it in PGPASSWORD or the password file, so that the shared
// configuration file holds no secret. A URI that carries one is refused rather
// than silently ignored.
struct DatabaseTarget {
    enum class Engine { Sqlite, Postgres };

    Engine engine = Engine::Sqlite;
    std::string file; // SQLite: the database file

    // PostgreSQL; empty values and port -1 leave the choice to the client's
    // defaults (PGHOST, PGPORT, PGUSER, PGDATABASE, the login name).
    std::string host;
    int port = -1;
    std::string user;
    std::string databaseName;
    // Further client options from the query, in URI order, e.g. sslmode.
    std::vector<std::pair<std::string, std::string>> options;

    static constexpr std::string_view kUriScheme = "postgresql://";
};

// Reads a location as AppConfig::DatabaseLocation() gives it. Returns nothing
// and says why in `error` for an empty location or a malformed URI.
std::optional<DatabaseTarget> ParseDatabaseTarget(std::string_view location, std::string& error);

// The query options understood besides host, port, user and dbname.
bool IsSupportedPostgresOption(std::string_view key);
