#pragma once

#include "BanRecord.h"
#include "LocalDate.h"
#include "SqlPlayerDatabase.h"
#include "SqlPlayerLookup.h"

#include <string>
#include <string_view>
#include <vector>

// Stores one sighting of a player in the database at `location`, his GUID
// added when it is new, on the day `today` gives: what a Database update
// would have harvested.
inline void StoreSighting(const std::string& location, const char* guid, const char* ip,
                          const char* name, const char* raw, DateSource today = LocalToday) {
    SqlPlayerDatabase database(location, std::move(today));
    database.Open();
    const auto key = database.FindGuid(guid);
    PlayerSighting sighting;
    sighting.guidKey = key ? *key : database.AddGuid(guid);
    sighting.ipFull = ip;
    sighting.nameFormatted = name;
    sighting.nameRaw = raw;
    database.InsertSighting(sighting);
    database.Close();
}

// The GUID's ban records in the database at `location`, newest first; at
// most `limit` of them (-1: all).
inline std::vector<BanRecord> StoredBanHistory(const std::string& location, std::string_view guid,
                                               int limit = -1) {
    SqlPlayerLookup lookup(location);
    lookup.Open();
    auto records = lookup.BanHistory(guid, limit);
    lookup.Close();
    return records;
}
