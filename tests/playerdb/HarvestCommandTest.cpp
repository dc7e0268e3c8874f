#include "../cli/RunQuarvelctl.h"
#include "HarvestLog.h"
#include "RefusedName.h"
#include "ScratchDatabase.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

// quarvelctl harvest, run as a program on each engine.
namespace {

constexpr char kHarvestGuidA[] = "0123456789ABCDEF0123456789ABCDEF";
constexpr char kHarvestGuidB[] = "FEDCBA9876543210FEDCBA9876543210";

class HarvestCommandTest : public ::testing::TestWithParam<TestEngine> {
protected:
    void SetUp() override {
        // A database of its own, so that its URI fits the configuration's
        // 79-character value.
        scratch_.emplace(GetParam(), ScratchDatabase::Isolation::Database);
        if (!scratch_->skipReason().empty()) {
            GTEST_SKIP() << scratch_->skipReason();
        }
        scratch_->Create();
        config_ = scratch_->FileInFolder("quarvel.cfg");
        std::ofstream(config_) << "[database]\nfile=" << scratch_->location() << "\n";
    }

    CliResult Harvest(std::vector<std::string> logs) {
        logs.insert(logs.begin(), {"harvest", "--config", config_});
        return RunQuarvelctl(logs);
    }

    std::vector<std::string> Names() {
        return scratch_->QueryColumn(
            R"(SELECT "Player_Name_formated" FROM "Players" ORDER BY "Player_key")");
    }

    std::optional<ScratchDatabase> scratch_;
    std::string config_;
};

TEST_P(HarvestCommandTest, PrintsTheCountersOfEachLog) {
    HarvestLog first({ConnectLine(0, "1.2.3.4", kHarvestGuidA), UserinfoLine(0, "Bob"),
                      ConnectLine(1, "5.6.7.8", kHarvestGuidB), UserinfoLine(1, "^1Rob"),
                      UserinfoLine(1, "O'Neil|x")});
    // Its own document: slot 1 has no connection here, so Zed is not stored.
    HarvestLog second({ConnectLine(0, "1.2.3.4", kHarvestGuidA), UserinfoLine(0, "^2Bob"),
                       UserinfoLine(0, "Amy"), UserinfoLine(1, "Zed")});
    const CliResult r = Harvest({first.path(), second.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "GUIDs new 2 total 2; Players new 3 total 3\n"
                     "GUIDs new 0 total 2; Players new 1 total 4\n");
    EXPECT_EQ(r.err, ""); // no progress bar when stderr is no terminal
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bob", "Rob", "O'Neil|x", "Amy"}));

    const CliResult again = Harvest({first.path()});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, "GUIDs new 0 total 2; Players new 0 total 4\n");
}

TEST_P(HarvestCommandTest, AnEngineErrorEndsTheCommandAndKeepsWhatWasStored) {
    RefuseBoom(*scratch_, GetParam());
    HarvestLog first({ConnectLine(0, "1.2.3.4", kHarvestGuidA), UserinfoLine(0, "Bob")});
    HarvestLog second({ConnectLine(0, "1.2.3.4", kHarvestGuidA), UserinfoLine(0, "Amy"),
                       UserinfoLine(0, "Boom"), UserinfoLine(0, "Zed")});
    HarvestLog third({ConnectLine(0, "1.2.3.4", kHarvestGuidA), UserinfoLine(0, "Eve")});
    const CliResult r = Harvest({first.path(), second.path(), third.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "GUIDs new 1 total 1; Players new 1 total 1\n");
    EXPECT_NE(r.err.find("Boom is refused"), std::string::npos) << r.err;
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bob", "Amy"}));
}

TEST_P(HarvestCommandTest, AMissingTableIsAnEngineError) {
    HarvestLog log({ConnectLine(0, "1.2.3.4", kHarvestGuidA), UserinfoLine(0, "Bob")});
    scratch_->Execute(R"(DROP TABLE "Players")");
    const CliResult r = Harvest({log.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Players"), std::string::npos) << r.err;
}

TEST_P(HarvestCommandTest, AnUnreadableLogHarvestsNothing) {
    HarvestLog log({ConnectLine(0, "1.2.3.4", kHarvestGuidA), UserinfoLine(0, "Bob")});
    const CliResult r = Harvest({log.path(), scratch_->FileInFolder("missing.log")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("missing.log"), std::string::npos) << r.err;
    EXPECT_TRUE(Names().empty());
}

TEST_P(HarvestCommandTest, FollowWithHarvestStoresWhatAHarvestStores) {
    HarvestLog log({ConnectLine(0, "1.2.3.4", kHarvestGuidA), UserinfoLine(0, "Bob"),
                    ConnectLine(1, "5.6.7.8", kHarvestGuidB), UserinfoLine(1, "^1Rob"),
                    UserinfoLine(1, "Rob")});
    const CliResult r =
        RunQuarvelctl({"follow", log.path(), "--config", config_, "--harvest", "--idle-exit", "0"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // A line per batch, as harvest prints it once a log.
    EXPECT_EQ(r.err, "GUIDs new 2 total 2; Players new 2 total 2\n");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bob", "Rob"}));
    // Nothing new the second time: it goes on from where the first stopped.
    const CliResult again =
        RunQuarvelctl({"follow", log.path(), "--config", config_, "--harvest", "--idle-exit", "0"});
    EXPECT_EQ(again.err, "quarvelctl: went on from byte " +
                             std::to_string(std::filesystem::file_size(log.path())) +
                             " of the log\nGUIDs new 0 total 2; Players new 0 total 2\n");
}

TEST_P(HarvestCommandTest, FollowWithHarvestReportsAFailureWithExitOne) {
    HarvestLog log({ConnectLine(0, "1.2.3.4", kHarvestGuidA), UserinfoLine(0, "Bob")});
    scratch_->Execute(R"(DROP TABLE "Players")");
    const CliResult r =
        RunQuarvelctl({"follow", log.path(), "--config", config_, "--harvest", "--idle-exit", "5"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, HarvestCommandTest,
                         ::testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                         [](const ::testing::TestParamInfo<TestEngine>& info) {
                             return EngineName(info.param);
                         });

TEST(HarvestCommandUsage, NeedsALogAndADatabase) {
    EXPECT_EQ(RunQuarvelctl({"harvest"}).exitCode, 2);
    EXPECT_EQ(RunQuarvelctl({"harvest", "--config"}).exitCode, 2);
    ScratchDatabase scratch(TestEngine::Sqlite);
    const std::string config = scratch.FileInFolder("quarvel.cfg");
    std::ofstream(config) << "[server]\nname=A\n";
    HarvestLog log({ConnectLine(0, "1.2.3.4", kHarvestGuidA)});
    const CliResult r = RunQuarvelctl({"harvest", "--config", config, log.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no player database"), std::string::npos) << r.err;
}

} // namespace
