#include "SchemaSteps.h"

#include "BanRecordSchema.h"
#include "BanRecordSql.h"
#include "SchemaSql.h"
#include "SqlConnection.h"

#include <array>

namespace {

using Engine = DatabaseTarget::Engine;

void Run(SqlConnection& connection, const char* sql) {
    connection.ExecuteText(QString::fromLatin1(sql));
}

// 1: the ban records' table and the indexes the finds use, made where a
// database from before them lacks them.
std::string AddBanRecords(SqlConnection& connection) {
    if (!DatabaseObjectExists(connection, BanRecordSql::kTable)) {
        for (const char* statement : BanRecordTableStatements(connection.engine())) {
            Run(connection, statement);
        }
    }
    for (const BanRecordSql::FindIndex& index : BanRecordFindIndexes(connection.engine())) {
        if (!DatabaseObjectExists(connection, index.name)) {
            Run(connection, index.create);
        }
    }
    return {};
}

// 2: a sighting is stored once, whoever harvests it: the plain index of its
// three columns becomes a unique key, after the rows that harvests racing
// each other stored twice are folded into the oldest.
std::string AddSightingKey(SqlConnection& connection) {
    QSqlQuery fold = connection.Prepare(QString::fromLatin1(SchemaSql::kFoldDoubledSightings));
    connection.Execute(fold);
    const int folded = fold.numRowsAffected();
    fold.finish();
    Run(connection, SchemaSql::kDropSightingIndex);
    Run(connection, SchemaSql::kSightingKey);
    return folded > 0 ? "folded " + std::to_string(folded) + " doubled sightings into the oldest"
                      : "no doubled sightings";
}

// 3: where each follower stands in its log.
std::string AddFollowerPlaces(SqlConnection& connection) {
    if (!DatabaseObjectExists(connection, SchemaSql::kFollowersTable)) {
        Run(connection, connection.engine() == Engine::Postgres ? SchemaSql::kPostgresFollowers
                                                                : SchemaSql::kSqliteFollowers);
    }
    return {};
}

// 4: the ban records also keep the live servers' actions on a player (kick,
// temp-kick, message) with a temp-kick's minutes.
std::string AddPlayerActions(SqlConnection& connection) {
    WidenBanRecordActions(connection);
    return {};
}

constexpr std::array<SchemaStep, 4> kSteps = {{
    {1, "ban records", AddBanRecords},
    {2, "unique sightings", AddSightingKey},
    {3, "follower places", AddFollowerPlaces},
    {4, "player actions", AddPlayerActions},
}};

} // namespace

std::span<const SchemaStep> SchemaSteps() {
    return kSteps;
}
