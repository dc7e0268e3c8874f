#pragma once

#include "PlayerLookup.h"
#include "PlayerQueryRunner.h"
#include "SqlConnection.h"

#include <string>

// The look-ups over Qt SQL, on SQLite or PostgreSQL, as
// AppConfig::DatabaseLocation() names the database. The connection belongs to
// the thread that opens it: a look-up run off the user-interface thread makes
// and opens its own object there. Reads only; a database from before the ban
// records is read as it is.
class SqlPlayerLookup final : public PlayerLookup {
public:
    explicit SqlPlayerLookup(std::string location);

    void Open() override;
    void Close() override;

    PlayerFindResult FindPlayers(const PlayerSearch& search, int limit) override;
    std::vector<BanRecord> BanHistory(std::string_view guid, int limit) override;

private:
    std::string location_;
    SqlConnection connection_;
};

// Look-ups of the database at `location` for a PlayerQueryRunner.
PlayerQueryRunner::LookupFactory SqlLookups(std::string location);
