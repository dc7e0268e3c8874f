// The follower's place in its log, its rotations and what it tells: each a
// real quarvelctl follow process on a log the test writes.
#include "FollowerFixture.h"
#include "TempFile.h"

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

using FollowerPlaceTest = SharedDatabaseTest;

// Started again on the same file, the follower goes on from the byte its
// last batch stored, and `db status` shows where each follower stands.
TEST_P(FollowerPlaceTest, GoesOnFromItsPlaceAndDbStatusShowsIt) {
    const std::string bytes = SampleLogBytes();
    const std::size_t cut = bytes.find('\n', bytes.size() / 2) + 1;
    TempFile log(bytes.substr(0, cut));
    QuarvelctlChild first(FollowArgs(log.path()));
    ASSERT_EQ(first.Wait(), 0) << first.err();
    EXPECT_EQ(first.err().find("went on"), std::string::npos) << first.err();

    AppendTo(log.path(), std::string_view(bytes).substr(cut));
    QuarvelctlChild second(FollowArgs(log.path()));
    ASSERT_EQ(second.Wait(), 0) << second.err();
    EXPECT_NE(second.err().find("went on from byte " + std::to_string(cut) + " of the log"),
              std::string::npos)
        << second.err();
    ReferenceHarvest reference(GetParam(), {log.path()});
    EXPECT_TRUE(SameRows(Sightings(scratch()), Sightings(reference.database())));

    const CliResult status = RunQuarvelctl({"db", "status", "--config", config()});
    ASSERT_EQ(status.exitCode, 0) << status.err;
    EXPECT_NE(status.out.find("\"schemaVersion\": 4, \"programSchemaVersion\": 4"),
              std::string::npos)
        << status.out;
    EXPECT_NE(
        status.out.find("\"log\": \"" + fs::absolute(log.path()).string() + "\", \"device\": "),
        std::string::npos)
        << status.out;
    EXPECT_NE(status.out.find("\"offset\": " + std::to_string(bytes.size())), std::string::npos)
        << status.out;
}

// The service's journal gets a counter line once the harvest has caught up,
// then at most one a --report period and one at the end, however many
// batches the log comes in; --report 0 gives one a batch.
TEST_P(FollowerPlaceTest, TellsTheCountersSeldom) {
    TempFile quiet("");
    TempFile chatty("");
    QuarvelctlChild seldom(FollowArgs(quiet.path()));
    QuarvelctlChild often(FollowArgs(chatty.path(), {"--report", "0"}));
    // Eight bursts, each its own batch or more: the next comes once the
    // chatty one has told the last, however slow the machine.
    for (int burst = 0; burst < 8; ++burst) {
        const int toldBefore = CountOf(often.err(), "GUIDs new");
        AppendTo(quiet.path(), SharedPlayersLog(40 + burst, 40));
        AppendTo(chatty.path(), SharedPlayersLog(50 + burst, 40));
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (CountOf(often.err(), "GUIDs new") == toldBefore &&
               std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(20ms);
        }
    }
    ASSERT_EQ(seldom.Wait(), 0) << seldom.err();
    ASSERT_EQ(often.Wait(), 0) << often.err();
    EXPECT_LE(CountOf(seldom.err(), "GUIDs new"), 2) << seldom.err();
    EXPECT_GE(CountOf(often.err(), "GUIDs new"), 4) << often.err();
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(FollowerPlaceTest);

using FollowerRotation = SharedDatabaseTest;

// logrotate's default: the log renamed away and a new one made, while the
// game server still writes to the old one for a while through its open
// descriptor. Both files are harvested to their ends.
TEST_P(FollowerRotation, ReadsTheOldFileOnUntilItIsQuietAndTheNewOneMeanwhile) {
    TempFile log("");
    const std::string rotated = log.path() + ".1";
    auto oldWriter =
        std::make_unique<LogWriter>(log.path(), SharedPlayersLog(21, 3000), 1500ms, 21);
    QuarvelctlChild follower(FollowArgs(log.path(), {"--rotate-grace", "1"}));
    std::this_thread::sleep_for(500ms);
    fs::rename(log.path(), rotated);
    std::this_thread::sleep_for(200ms);
    LogWriter newWriter(log.path(), SharedPlayersLog(22, 1000), 500ms, 22);
    const std::size_t oldAtRotation = oldWriter->written();
    oldWriter->Finish(); // goes on writing to the renamed file up to here
    EXPECT_GT(oldWriter->written(), oldAtRotation);
    newWriter.Finish();
    ASSERT_EQ(follower.Wait(), 0) << follower.err();
    EXPECT_NE(follower.err().find("log replaced"), std::string::npos) << follower.err();
    EXPECT_NE(follower.err().find("the rotated log is let go"), std::string::npos)
        << follower.err();
    ReferenceHarvest reference(GetParam(), {rotated, log.path()});
    EXPECT_TRUE(SameRows(SightingKeys(scratch()), SightingKeys(reference.database())));
    fs::remove(rotated);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, FollowerRotation, ::testing::Values(TestEngine::Sqlite),
                         [](const auto& info) { return EngineName(info.param); });

// A database of a schema newer than the program is refused by every
// command, with why, and never changed.
TEST(FollowerNewerDatabase, IsRefusedAndLeftAsItWas) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    scratch.Create();
    scratch.Execute(R"(INSERT INTO "Quarvel_Schema" VALUES (99, 'later', 'a later program'))");
    const std::string config = scratch.FileInFolder("quarvel.cfg");
    std::ofstream(config) << "[database]\nfile=" << scratch.location() << "\n";
    HarvestLog log({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "Bob")});
    const std::string before = ReadWholeFile(scratch.location());
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"follow", log.path(), "--config", config, "--harvest",
                                   "--no-lines", "--idle-exit", "5"},
          std::vector<std::string>{"harvest", "--config", config, log.path()},
          std::vector<std::string>{"db", "upgrade", "--config", config},
          std::vector<std::string>{"history", "--config", config}}) {
        SCOPED_TRACE(command.front());
        const CliResult r = RunQuarvelctl(command);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("schema version 99, newer than this program knows"), std::string::npos)
            << r.err;
    }
    const CliResult status = RunQuarvelctl({"db", "status", "--config", config});
    EXPECT_EQ(status.exitCode, 0) << status.err;
    EXPECT_NE(status.out.find("\"schemaVersion\": 99"), std::string::npos) << status.out;
    EXPECT_EQ(ReadWholeFile(scratch.location()), before);
}

// What retrying cannot mend ends the follower at once, with why, and a
// non-zero exit that tells systemd so: it must not wait for a database that
// will never be there. (A lost or hung connection is waited for instead; see
// FollowerRecoveryTest.)
struct Refusal {
    const char* name;
    TestEngine engine;
    // The URI's user and database (PostgreSQL); empty: an SQLite file of text.
    const char* user;
    const char* database;
    const char* says;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class FollowerRefused : public ::testing::TestWithParam<Refusal> {};

TEST_P(FollowerRefused, EndsItAtOnceWithWhy) {
    const Refusal& refusal = GetParam();
    ScratchDatabase scratch(TestEngine::Sqlite);
    std::string location = scratch.FileInFolder("notes.db");
    if (refusal.engine == TestEngine::Postgres) {
        const char* uri = std::getenv("QUARVEL_TEST_PG_URI");
        if (uri == nullptr) {
            GTEST_SKIP() << "QUARVEL_TEST_PG_URI is not set";
        }
        // postgresql://USER@HOST:PORT/DATABASE with another user or database.
        const std::string server(uri);
        const std::size_t at = server.find('@');
        const std::size_t slash = server.rfind('/');
        location = "postgresql://" + std::string(refusal.user) + server.substr(at, slash - at) +
                   "/" + refusal.database;
    } else {
        std::ofstream(location) << "[server]\nname=A\n";
    }
    const std::string config = scratch.FileInFolder("quarvel.cfg");
    std::ofstream(config) << "[database]\nfile=" << location << "\n";
    HarvestLog log({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "Bob")});
    QuarvelctlChild follower({"follow", log.path(), "--config", config, "--harvest", "--no-lines"});
    ASSERT_EQ(follower.Wait(10s), 1) << follower.err();
    EXPECT_NE(follower.err().find(refusal.says), std::string::npos) << follower.err();
}

INSTANTIATE_TEST_SUITE_P(, FollowerRefused,
                         ::testing::Values(Refusal{"NotAPlayerDatabase", TestEngine::Sqlite, "", "",
                                                   "is not a player database"},
                                           Refusal{"NoSuchDatabase", TestEngine::Postgres,
                                                   "quarvel", "quarvel_none", "does not exist"},
                                           Refusal{"NoSuchRole", TestEngine::Postgres,
                                                   "nobody_here", "quarvel_test",
                                                   "does not exist"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
