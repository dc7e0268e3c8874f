// The player database's schema version: a database as release 1.3 made it is
// brought up to date by the first program that writes to it, keeping every
// row; a newer one is refused and left alone.
#include "SchemaUpgrade.h"

#include "BanStates.h"
#include "DatabaseSuite.h"
#include "DatabaseUpdateRun.h"
#include "ReleaseDatabase.h"
#include "SchemaSteps.h"
#include "SqlPlayerLookup.h"

#include <algorithm>
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
                                        "ban states"}));
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

// The first ban of a database release 1.3 made upgrades it, and finds the
// GUID the harvests stored, in whatever case it is typed.
TEST_P(SchemaUpgradeTest, AReleaseDatabaseTakesABanOfAGuidItKnows) {
    MakeRelease13Database(scratch(), GetParam());
    const std::string known =
        scratch().QueryText(R"(SELECT "GUID" FROM "GUID" ORDER BY "Guid_Key" LIMIT 1)");
    std::string typed = known;
    std::transform(typed.begin(), typed.end(), typed.begin(), ::tolower);
    BanStates states(scratch().location(), "alice", [] { return BanTime{1075665909, 0}; });
    EXPECT_FALSE(states.Active(known));
    EXPECT_EQ(states.TempBan({typed, "r", "", ""}, 60).outcome, BanChangeOutcome::Banned);
    EXPECT_TRUE(states.Active(known));
    EXPECT_EQ(Version(), LatestSchemaVersion());
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "GUID")"), "45");
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "Players")"), "109");
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

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(SchemaUpgradeTest);

} // namespace
