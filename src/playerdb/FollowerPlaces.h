#pragma once

#include "FollowerPlace.h"

#include <QSqlQuery>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SqlConnection;

// The followers' places in table Quarvel_Followers (see FollowerPlace).

// The slots a follower needs, as the table keeps them: "slot key address"
// for each filled slot, the address in hexadecimal (it is log bytes),
// separated by ";". Nothing when the text is not one this program wrote.
std::string EncodeSlots(const HarvestSlots& filled);
std::optional<HarvestSlots> DecodeSlots(std::string_view text);

// Binds a place to the prepared SchemaSql::kStorePlace, stored now.
void BindPlace(QSqlQuery& query, const FollowerPlace& place);

// A stored place, with when it was stored (UTC, ISO 8601).
struct StoredPlace {
    FollowerPlace place;
    std::string storedAt;
    bool slotsReadable = true; // false: the place's slots could not be read
};

// The place of one follower, or nothing (none stored, or a database from
// before followers' places).
std::optional<StoredPlace> ReadFollowerPlace(SqlConnection& connection, const FollowerKey& key);
// Every follower's place, by host and log.
std::vector<StoredPlace> ReadFollowerPlaces(SqlConnection& connection);

// Where a follower of `key` goes on in the log at `path`: the offset of its
// stored place when that is a place in the file the path names now; 0
// otherwise, and when the database cannot tell now (the follower's harvest
// asks again once it can).
std::int64_t StoredOffsetInFile(const std::string& location, const FollowerKey& key,
                                const std::string& path);
