#include "../cli/RunQuarvelctl.h"
#include "ScratchDatabase.h"
#include "SqlPlayerDatabase.h"

#include <fstream>
#include <gtest/gtest.h>
#include <optional>

// quarvelctl init-db and aliases, run as a program on each engine.
namespace {

constexpr char kGuid[] = "0123456789ABCDEF0123456789ABCDEF";

class DatabaseCommandsTest : public ::testing::TestWithParam<TestEngine> {
protected:
    void SetUp() override {
        scratch_.emplace(GetParam(), ScratchDatabase::Isolation::Database);
        if (!scratch_->skipReason().empty()) {
            GTEST_SKIP() << scratch_->skipReason();
        }
        config_ = scratch_->FileInFolder("quarvel.cfg");
        std::ofstream(config_) << "[database]\nfile=" << scratch_->location() << "\n";
    }

    CliResult Aliases(const std::string& guid) {
        return RunQuarvelctl({"aliases", "--config", config_, guid});
    }

    std::optional<ScratchDatabase> scratch_;
    std::string config_;
};

TEST_P(DatabaseCommandsTest, InitDbMakesTheDatabaseOnceOnly) {
    const CliResult first = RunQuarvelctl({"init-db", scratch_->location()});
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, "");
    const CliResult second = RunQuarvelctl({"init-db", scratch_->location()});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.err, "");
}

TEST_P(DatabaseCommandsTest, AliasesPrintsTheNamesInByteOrder) {
    scratch_->Create();
    {
        SqlPlayerDatabase database(scratch_->location());
        database.Open();
        const std::int32_t key = database.AddGuid(kGuid);
        for (const char* name : {"zed", "Bob", "Bob", "\xE9lan", "Alice"}) {
            PlayerSighting sighting;
            sighting.guidKey = key;
            sighting.ipFull = std::string("1.2.3.") + std::to_string(std::string(name).size());
            sighting.nameFormatted = name;
            sighting.nameRaw = name;
            if (!database.SightingExists(key, sighting.ipFull, name)) {
                database.InsertSighting(sighting);
            }
        }
        database.Close();
    }
    const CliResult r = Aliases(kGuid);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Alice\nBob\nzed\n\xC3\xA9lan\n");
    EXPECT_EQ(r.err, "");
}

TEST_P(DatabaseCommandsTest, AliasesReportsWhatItDidNotFind) {
    scratch_->Create();
    const CliResult unknown = Aliases(kGuid);
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "GUID not found in the database\n");
    {
        SqlPlayerDatabase database(scratch_->location());
        database.Open();
        database.AddGuid(kGuid);
        database.Close();
    }
    const CliResult noPlayers = Aliases(kGuid);
    EXPECT_EQ(noPlayers.exitCode, 1);
    EXPECT_EQ(noPlayers.err, "Guid_Key not found in the database\n");
}

INSTANTIATE_TEST_SUITE_P(Engines, DatabaseCommandsTest,
                         ::testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                         [](const ::testing::TestParamInfo<TestEngine>& info) {
                             return EngineName(info.param);
                         });

TEST(AliasesCommand, AMissingDatabaseFileIsAnErrorAndStaysMissing) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    const std::string config = scratch.FileInFolder("quarvel.cfg");
    std::ofstream(config) << "[database]\nfile=players.sqlite\n";
    const CliResult r = RunQuarvelctl({"aliases", "--config", config, kGuid});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(scratch.location()), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(scratch.location()));
}

TEST(AliasesCommand, NoConfiguredDatabaseIsAnError) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    const std::string config = scratch.FileInFolder("quarvel.cfg");
    std::ofstream(config) << "[server]\nname=A\n";
    const CliResult r = RunQuarvelctl({"aliases", "--config", config, kGuid});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no player database"), std::string::npos) << r.err;
}

TEST(DatabaseCommandsUsage, MissingArgumentsAreExitTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"init-db"}, {"init-db", "a", "b"}, {"aliases"}, {"aliases", "--config"}}) {
        const CliResult r = RunQuarvelctl(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_NE(r.err, "");
    }
}

} // namespace
