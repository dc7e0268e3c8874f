// The player database's schema version: a database as release 1.3 made it is
// brought up to date by the first program that writes to it, keeping every
// row; a newer one is refused and left alone.
#include "SchemaUpgrade.h"

#include "BanRecordSchema.h"
#include "DatabaseSuite.h"
#include "DatabaseUpdateRun.h"
#include "ReadOnlyDatabase.h"
#include "ReleaseDatabase.h"
#include "SchemaSql.h"
#include "SchemaSteps.h"
#include "SqlPlayerLookup.h"

#include <gtest/gtest.h>

namespace {

class SchemaUpgradeTest : public ::testing::TestWithParam<TestEngine> {
protected:
    void SetUp() override {
        scratch_.emplace(GetParam());
        if (!scratch_->skipReason().empty()) {
            GTEST_SKIP() << scratch_->skipReason();
        }
    }
    ScratchDatabase& scratch() { return *scratch_; }

    // What a harvest's first step says while it upgrades.
    std::vector<std::string> UpgradeByAHarvest() {
        std::vector<std::string> said;
        SqlPlayerDatabase database(scratch().location());
        database.SetNotices([&said](const std::string& text) { said.push_back(text); });
        database.Open();
        database.BeginStep();
        database.CommitStep();
        database.Close();
        return said;
    }

    int Version() {
        return std::stoi(scratch().QueryText(R"(SELECT MAX("Version") FROM "Quarvel_Schema")"));
    }

private:
    std::optional<ScratchDatabase> scratch_;
};

TEST_P(SchemaUpgradeTest, AReleaseDatabaseIsUpgradedStepByStepKeepingEveryRow) {
    MakeRelease13Database(scratch(), GetParam());
    // Reading changes nothing.
    {
        SqlPlayerLookup lookup(scratch().location());
        lookup.Open();
        lookup.Close();
    }
    EXPECT_EQ(scratch().QueryText(
                  "SELECT COUNT(*) FROM " +
                  std::string(GetParam() == TestEngine::Sqlite
                                  ? "sqlite_master WHERE name = 'Quarvel_Schema'"
                                  : "pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                                    "WHERE n.nspname = current_schema() AND c.relname = "
                                    "'Quarvel_Schema'")),
              "0");
    const std::vector<std::string> said = UpgradeByAHarvest();
    ASSERT_EQ(said.size(), SchemaSteps().size());
    EXPECT_EQ(said[1], "player database upgraded to version 2 (unique sightings: no doubled "
                       "sightings)");
    EXPECT_EQ(Version(), LatestSchemaVersion());
    EXPECT_EQ(scratch().QueryColumn(R"(SELECT "Note" FROM "Quarvel_Schema" ORDER BY "Version")"),
              (std::vector<std::string>{"found without a version", "ban records",
                                        "unique sightings: no doubled sightings", "follower places",
                                        "player actions"}));
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "GUID")"), "45");
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "Players")"), "109");
    // Upgraded once: the next program finds nothing to do.
    EXPECT_TRUE(UpgradeByAHarvest().empty());

    // The log it was made from adds nothing again.
    LogModel model;
    model.Load(QUARVEL_SOURCE_DIR "/samples/sample.log");
    model.SetPlayerDatabase(std::make_unique<SqlPlayerDatabase>(scratch().location()));
    class : public DatabaseUpdateProgress {
        void Begin(int) override {}
        bool StepDone(int, const HarvestCounters&) override { return true; }
    } progress;
    const DatabaseUpdateOutcome outcome = RunHarvestWalk(model, progress);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(outcome.counters, (HarvestCounters{0, 45, 0, 109}));
}

TEST_P(SchemaUpgradeTest, SightingsARaceDoubledAreFoldedIntoTheOldestAndCounted) {
    MakeRelease13Database(scratch(), GetParam(), 3);
    ASSERT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "Players")"), "112");
    const std::vector<std::string> said = UpgradeByAHarvest();
    ASSERT_GE(said.size(), 2u);
    EXPECT_EQ(said[1], "player database upgraded to version 2 (unique sightings: folded 3 doubled "
                       "sightings into the oldest)");
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "Players")"), "109");
    EXPECT_EQ(scratch().QueryText(R"(SELECT MAX("Player_key") FROM "Players")"), "109");
    // The key now holds: a sighting cannot be stored twice.
    SqlPlayerDatabase database(scratch().location());
    database.Open();
    const std::string row = scratch().QueryText(
        R"(SELECT "Guid_Key" || ' ' || "IP_Full" || ' ' || "Player_Name_formated" FROM "Players" )"
        R"(WHERE "Player_key" = 1)");
    const std::size_t space = row.find(' ');
    const std::size_t second = row.find(' ', space + 1);
    EXPECT_FALSE(database.InsertSighting(Sighting(std::stoi(row.substr(0, space)),
                                                  row.substr(space + 1, second - space - 1),
                                                  row.substr(second + 1), "again")));
}

TEST_P(SchemaUpgradeTest, ADatabaseNewerThanTheProgramIsRefusedAndLeftAlone) {
    scratch().Create();
    scratch().Execute(R"(INSERT INTO "Quarvel_Schema" VALUES (99, 'later', 'a later program'))");
    SqlPlayerDatabase database(scratch().location());
    try {
        database.Open();
        FAIL() << "a newer database was opened";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.fault(), DatabaseError::Fault::Permanent);
        EXPECT_NE(std::string(error.what()).find("schema version 99"), std::string::npos)
            << error.what();
        EXPECT_NE(std::string(error.what()).find("left unchanged"), std::string::npos);
    }
    SqlPlayerLookup lookup(scratch().location());
    EXPECT_THROW(lookup.Open(), DatabaseError);
    EXPECT_EQ(Version(), 99);
}

TEST_P(SchemaUpgradeTest, InitDbMakesTheLatestVersion) {
    scratch().Create();
    EXPECT_EQ(Version(), LatestSchemaVersion());
    EXPECT_EQ(scratch().QueryText(R"(SELECT "Note" FROM "Quarvel_Schema" WHERE "Version" = 0)"),
              "made by init-db");
}

// Every column of every ban record, a line a record in key order.
std::vector<std::string> BanRecordRows(ScratchDatabase& scratch) {
    return scratch.QueryColumn(
        R"(SELECT CAST("Record_key" AS TEXT) || '|' || "Rec_Time" || '|' || )"
        R"(CAST("Rec_Epoch" AS TEXT) || '|' || "Action" || '|' || "GUID" || '|' || )"
        R"("Player_Name" || '|' || "IP_Full" || '|' || "Reason" || '|' || "Server_Name" || '|' )"
        R"(|| "Result" || '|' || "Admin" FROM "Ban_Records" ORDER BY "Record_key")");
}

// A release 1.3 database brought to version 3 only, as the program before
// player actions left it, with ban records in it: the one of key 3 deleted,
// so that the counter of keys stands past the last row.
void MakeVersion3Database(ScratchDatabase& scratch, TestEngine engine) {
    MakeRelease13Database(scratch, engine);
    SqlConnection connection;
    std::string error;
    connection.Open(*ParseDatabaseTarget(scratch.location(), error),
                    SqlConnection::OpenAs::AnyDatabase);
    connection.ExecuteText(QString::fromLatin1(engine == TestEngine::Postgres
                                                   ? SchemaSql::kPostgresVersionTable
                                                   : SchemaSql::kSqliteVersionTable));
    for (const SchemaStep& step : SchemaSteps()) {
        if (step.version <= 3) {
            step.apply(connection);
            connection.ExecuteText(QStringLiteral(R"(INSERT INTO "Quarvel_Schema" VALUES )"
                                                  R"((%1, 'then', 'a step'))")
                                       .arg(step.version));
        }
    }
    connection.Close();
    scratch.Execute(std::vector<std::string>{
        R"(INSERT INTO "Ban_Records" ("Rec_Time", "Rec_Epoch", "Action", "GUID", "Player_Name", )"
        R"("IP_Full", "Reason", "Server_Name", "Result", "Admin") VALUES )"
        R"(('2004-02-01T21:05:09+01:00', 1075665909, 'ban', 'G1', '^1Bob', '1.2.3.4', 'aim', )"
        R"('Alpha', 'GUID added to ban list', 'alice'), )"
        R"(('2004-02-01T21:06:09+01:00', 1075665969, 'unban', 'G1', '', '', '', 'Alpha', )"
        R"('No reply', ''), )"
        R"(('2004-02-01T21:07:09+01:00', 1075666029, 'ban', 'G2', 'x', '5.6.7.8', 'r', 'B', 'y', )"
        R"('bob'))",
        R"(DELETE FROM "Ban_Records" WHERE "Record_key" = 3)",
    });
}

TEST_P(SchemaUpgradeTest, PlayerActionsWidenTheRecordsKeepingEveryRow) {
    MakeVersion3Database(scratch(), GetParam());
    if (GetParam() == TestEngine::Postgres) {
        // Found by the catalogue, whatever its name.
        scratch().Execute(
            R"(ALTER TABLE "Ban_Records" RENAME CONSTRAINT "Ban_Records_Action_check" )"
            R"(TO "an ""odd"" name")");
    }
    // An index of the user's own is kept as well.
    scratch().Execute(R"(CREATE INDEX "Ban_Records_Server" ON "Ban_Records" ("Server_Name"))");
    const std::vector<std::string> before = BanRecordRows(scratch());
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(UpgradeByAHarvest(),
              std::vector<std::string>{"player database upgraded to version 4 (player actions)"});
    EXPECT_EQ(Version(), 4);
    EXPECT_EQ(BanRecordRows(scratch()), before);
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT("Minutes") FROM "Ban_Records")"), "0");
    EXPECT_TRUE(HasObject(scratch(), GetParam(), "Ban_Records_GUID"));
    EXPECT_TRUE(HasObject(scratch(), GetParam(), "Ban_Records_Server"));

    // The new actions are taken, with their minutes; no key is used again;
    // what is no action is still refused.
    const std::string insert =
        R"(INSERT INTO "Ban_Records" ("Rec_Time", "Rec_Epoch", "Action", "GUID", "Player_Name", )"
        R"("IP_Full", "Reason", "Server_Name", "Result", "Admin", "Minutes") VALUES )"
        R"(('t', 1, '%1', '', '', '', '', 'A', 'Done', '', %2))";
    const auto Insert = [&insert](const std::string& action, const std::string& minutes) {
        return QString::fromStdString(insert)
            .arg(QString::fromStdString(action), QString::fromStdString(minutes))
            .toStdString();
    };
    scratch().Execute(
        {Insert("kick", "NULL"), Insert("tempkick", "15"), Insert("message", "NULL")});
    EXPECT_EQ(scratch().QueryColumn(R"(SELECT CAST("Record_key" AS TEXT) || "Action" FROM )"
                                    R"("Ban_Records" WHERE "Record_key" > 2 ORDER BY 1)"),
              (std::vector<std::string>{"4kick", "5tempkick", "6message"}));
    EXPECT_THROW(scratch().Execute(Insert("slap", "NULL")), DatabaseError);

    // Taken again (a database that had the change made another way), the
    // step leaves it as it is.
    const std::vector<std::string> widened = BanRecordRows(scratch());
    {
        SqlConnection connection;
        std::string error;
        connection.Open(*ParseDatabaseTarget(scratch().location(), error));
        WidenBanRecordActions(connection);
    }
    EXPECT_EQ(BanRecordRows(scratch()), widened);
    EXPECT_TRUE(UpgradeByAHarvest().empty());
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(SchemaUpgradeTest);

} // namespace
