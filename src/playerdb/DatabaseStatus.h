#pragma once

#include "FollowerPlaces.h"
#include "SchemaUpgrade.h"

#include <string>
#include <vector>

// What `quarvelctl db status` shows of a player database.
struct DatabaseStatus {
    int schemaVersion = 0;
    int programSchemaVersion = 0;
    long long guids = 0;
    long long players = 0;
    long long banRecords = -1; // -1: a database from before ban records
    long long activeBans = -1; // ban states that hold now; -1: from before ban states
    std::vector<SchemaHistoryEntry> history;
    std::vector<StoredPlace> followers;
};

// Looks at the player database at `location` without changing it, whatever
// its schema version. Raises DatabaseError.
DatabaseStatus ReadDatabaseStatus(const std::string& location);

// Brings the player database at `location` to this program's schema version,
// as the first program to write to it would; returns what each step taken
// said. Raises DatabaseError (a newer database is refused).
std::vector<std::string> UpgradeDatabase(const std::string& location);
