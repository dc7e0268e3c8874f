#pragma once

// A player database as rows two databases can be compared by, and one
// harvest to compare with.
#include "Harvester.h"
#include "LogModel.h"
#include "ScratchDatabase.h"
#include "SqlConnection.h"
#include "SqlPlayerDatabase.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// Every sighting as "GUID address colour-free-name raw-name", in the order
// stored: two databases that took the same lines in the same order agree.
inline constexpr char kSightingsInOrder[] =
    R"(SELECT g."GUID" || ' ' || p."IP_Full" || ' ' || p."Player_Name_formated" || ' ' || )"
    R"(p."Player_Name" FROM "Players" p JOIN "GUID" g ON g."Guid_Key" = p."Guid_Key" )"
    R"(ORDER BY p."Player_key")";

inline std::vector<std::string> Sightings(ScratchDatabase& database) {
    return database.QueryColumn(kSightingsInOrder);
}

// The sightings without their order and raw names, sorted: what harvests of
// the same lines leave whoever stored each row first.
inline std::vector<std::string> SightingKeys(ScratchDatabase& database) {
    std::vector<std::string> keys = database.QueryColumn(
        R"(SELECT g."GUID" || ' ' || p."IP_Full" || ' ' || p."Player_Name_formated" )"
        R"(FROM "Players" p JOIN "GUID" g ON g."Guid_Key" = p."Guid_Key")");
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Whether two lists of rows are the same, saying where they part when not
// (a whole list is too long to read in a failure's message).
inline ::testing::AssertionResult SameRows(const std::vector<std::string>& a,
                                           const std::vector<std::string>& b) {
    if (a == b) {
        return ::testing::AssertionSuccess();
    }
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) {
        ++at;
    }
    const auto row = [at](const std::vector<std::string>& rows) {
        return at < rows.size() ? rows[at] : std::string("(none)");
    };
    return ::testing::AssertionFailure()
           << "sizes " << a.size() << " and " << b.size() << "; first difference at row " << at
           << ": " << row(a) << " | " << row(b);
}

inline std::vector<std::string> GuidsOf(ScratchDatabase& database) {
    std::vector<std::string> guids = database.QueryColumn(R"(SELECT "GUID" FROM "GUID")");
    std::sort(guids.begin(), guids.end());
    return guids;
}

// One harvest of each log in turn, into a fresh database of the engine, as
// the database update does (each log a run of its own, all its lines in one
// step, which stores what its hundred steps would): what the programs under
// test must leave.
class ReferenceHarvest {
public:
    ReferenceHarvest(TestEngine engine, const std::vector<std::string>& logs) : database_(engine) {
        database_.Create();
        for (const std::string& path : logs) {
            LogModel model;
            model.Load(path);
            Harvester harvester(model.eventPatterns());
            harvester.SetDatabase(std::make_unique<SqlPlayerDatabase>(database_.location()));
            harvester.Begin();
            harvester.HarvestLines(model.store(), 0, model.lineCount());
            harvester.End();
        }
    }
    ScratchDatabase& database() { return database_; }

private:
    ScratchDatabase database_;
};
