// Several programs on one player database at once, each a real quarvelctl
// process: followers and harvests that share players, upgrades racing each
// other, and the window's connections beside another program's.
#include "FollowerFixture.h"
#include "ReleaseDatabase.h"
#include "SchemaSteps.h"
#include "SchemaUpgrade.h"
#include "SqlConnection.h"
#include "TempFile.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// Three logs, each shared with the others by most of its players.
struct ThreeLogs {
    ThreeLogs()
        : a(SharedPlayersLog(1, 1500)), b(SharedPlayersLog(2, 1500)), c(SharedPlayersLog(3, 1500)) {
    }
    std::vector<std::string> paths() const { return {a.path(), b.path(), c.path()}; }
    TempFile a;
    TempFile b;
    TempFile c;
};

using SharedWriters = SharedDatabaseTest;

TEST_P(SharedWriters, ThreeFollowersStartedTogetherStoreEveryRowOnce) {
    ThreeLogs logs;
    std::vector<std::unique_ptr<QuarvelctlChild>> followers;
    for (const std::string& path : logs.paths()) {
        followers.push_back(std::make_unique<QuarvelctlChild>(FollowArgs(path)));
    }
    for (auto& follower : followers) {
        EXPECT_EQ(follower->Wait(), 0) << follower->err();
    }
    ReferenceHarvest reference(GetParam(), logs.paths());
    EXPECT_TRUE(SameRows(SightingKeys(scratch()), SightingKeys(reference.database())));
    EXPECT_EQ(GuidsOf(scratch()), GuidsOf(reference.database()));
}

TEST_P(SharedWriters, ThreeHarvestsAtOnceStoreEveryRowOnceAndCountOnlyTheirOwn) {
    ThreeLogs logs;
    std::vector<std::unique_ptr<QuarvelctlChild>> harvests;
    for (const std::string& path : logs.paths()) {
        harvests.push_back(std::make_unique<QuarvelctlChild>(
            std::vector<std::string>{"harvest", "--config", config(), path}));
    }
    long long guidsNew = 0;
    long long playersNew = 0;
    for (auto& harvest : harvests) {
        ASSERT_EQ(harvest->Wait(), 0) << harvest->err();
        long guids = 0;
        long players = 0;
        ASSERT_EQ(std::sscanf(harvest->out().c_str(), "GUIDs new %ld total %*d; Players new %ld",
                              &guids, &players),
                  2)
            << harvest->out();
        guidsNew += guids;
        playersNew += players;
    }
    ReferenceHarvest reference(GetParam(), logs.paths());
    EXPECT_TRUE(SameRows(SightingKeys(scratch()), SightingKeys(reference.database())));
    // Every row was added by exactly one of them.
    EXPECT_EQ(guidsNew, static_cast<long long>(GuidsOf(scratch()).size()));
    EXPECT_EQ(playersNew, static_cast<long long>(SightingKeys(scratch()).size()));
}

// Two programs open a database release 1.3 made at once: each step is taken
// by one of them, and the other finds it taken.
TEST_P(SharedWriters, TwoUpgradesAtOnceTakeEachStepOnce) {
    ScratchDatabase old(GetParam(), ScratchDatabase::Isolation::Database);
    MakeRelease13Database(old, GetParam(), 2);
    TempFile oldConfig("[database]\nfile=" + old.location() + "\n", ".cfg");
    QuarvelctlChild first({"db", "upgrade", "--config", oldConfig.path()});
    QuarvelctlChild second({"db", "upgrade", "--config", oldConfig.path()});
    ASSERT_EQ(first.Wait(), 0) << first.err();
    ASSERT_EQ(second.Wait(), 0) << second.err();
    const std::string said = first.out() + second.out();
    std::vector<std::string> versions{"0"};
    for (const SchemaStep& schemaStep : SchemaSteps()) {
        const std::string step = "upgraded to version " + std::to_string(schemaStep.version) + " ";
        EXPECT_EQ(said.find(step), said.rfind(step)) << said;
        EXPECT_NE(said.find(step), std::string::npos) << said;
        versions.push_back(std::to_string(schemaStep.version));
    }
    EXPECT_NE(said.find("folded 2 doubled sightings"), std::string::npos) << said;
    EXPECT_EQ(old.QueryColumn(R"(SELECT "Version" FROM "Quarvel_Schema" ORDER BY "Version")"),
              versions);
    EXPECT_EQ(old.QueryText(R"(SELECT COUNT(*) FROM "Players")"), "109");
}

// Admins banning, temp-banning and lifting one GUID at the same moment, each
// a quarvelctl of his own: the changes take turns, each decides on what the
// one before it left, and the GUID ends with one state and one record a
// change.
TEST_P(SharedWriters, ProgramsBanningAndLiftingOneGuidAtOnceEndInOneState) {
    const std::string guid = "0123456789abcdef0123456789abcdef";
    const auto together = [&](const std::vector<std::vector<std::string>>& commands) {
        std::vector<std::unique_ptr<QuarvelctlChild>> children;
        for (const auto& command : commands) {
            std::vector<std::string> args = command;
            args.insert(args.end(), {"--config", config(), "--guid", guid});
            children.push_back(std::make_unique<QuarvelctlChild>(args));
        }
        std::vector<std::string> said;
        for (auto& child : children) {
            child->Wait();
            const std::string out = child->out();
            const std::size_t state = out.find("Ban state: ");
            EXPECT_NE(state, std::string::npos) << out << child->err();
            said.push_back(state == std::string::npos ? "" : out.substr(state + 11));
        }
        return said;
    };
    const auto changes = [](const std::vector<std::string>& said) {
        return std::count_if(said.begin(), said.end(), [](const std::string& text) {
            return text.rfind("Already", 0) != 0 && text.rfind("Not banned", 0) != 0;
        });
    };
    const std::vector<std::string> ban{"ban", "--name", "n", "--ip", "1.2.3.4", "--reason", "r"};
    // No server is configured: each says so, and keeps the state all the same.
    const std::vector<std::string> bans = together({ban, ban, ban});
    EXPECT_EQ(changes(bans), 1) << bans[0] << bans[1] << bans[2];
    EXPECT_EQ(std::count(bans.begin(), bans.end(), "Banned permanently\n"), 1);

    const std::vector<std::string> tempban{"tempban", "--minutes", "60", "--reason", "t"};
    const std::vector<std::string> mixed =
        together({{"unban"}, tempban, {"unban"}, tempban, {"unban"}, tempban});
    const std::string open =
        scratch().QueryText(R"(SELECT COUNT(*) FROM "Ban_States" WHERE "Ended_Epoch" IS NULL)");
    EXPECT_TRUE(open == "0" || open == "1") << open;
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "Ban_Records" WHERE "Server_Name" = '')"),
              std::to_string(1 + changes(mixed)));
    // The last change decides: lifted, or a temp-ban that holds.
    const std::string last = scratch().QueryText(
        R"(SELECT "Action" FROM "Ban_Records" ORDER BY "Record_key" DESC LIMIT 1)");
    EXPECT_EQ(open, last == "ban" ? "1" : "0") << last;
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "GUID")"), "1");
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(SharedWriters);

// --- One rule for database files -------------------------------------------

// The window keeps a connection for its live harvest while Find player opens
// and closes another; then another program opens the file and closes it,
// checkpointing the write-ahead log as the last user would. The first
// connection must still hold its locks: had the second look at the file
// dropped them (a descriptor of its own, closed), the other program would
// delete the log under it and every later write would be lost.
TEST(SharedSqliteFile, ASecondConnectionInThisProcessLeavesTheFirstItsLocks) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    scratch.Create();
    const std::string config = scratch.FileInFolder("quarvel.cfg");
    std::ofstream(config) << "[database]\nfile=" << scratch.location() << "\n";

    SqlPlayerDatabase window(scratch.location());
    window.Open();
    window.BeginStep();
    window.AddGuid(kGuidA);
    window.CommitStep();
    {
        SqlPlayerDatabase findPlayer(scratch.location());
        findPlayer.Open();
        EXPECT_EQ(findPlayer.CountGuids(), 1);
        findPlayer.Close();
    }
    QuarvelctlChild other({"history", "--config", config});
    ASSERT_EQ(other.Wait(), 0) << other.err();

    window.BeginStep();
    window.AddGuid(kGuidB);
    window.CommitStep();
    // None of this process's descriptors names a file deleted under it.
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::string target = fs::read_symlink(fd.path(), ec).string();
        EXPECT_EQ(target.find("(deleted)"), std::string::npos) << target;
    }
    window.Close();
    EXPECT_EQ(scratch.QueryText(R"(SELECT COUNT(*) FROM "GUID")"), "2");
    EXPECT_EQ(scratch.QueryText("PRAGMA integrity_check"), "ok");
}

// A new database file holds players' addresses: only its owner reads it, and
// its write-ahead log and shared memory file alike, whatever the umask says.
TEST(SharedSqliteFile, NewDatabaseFilesAreTheOwnersAlone) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    const mode_t before = ::umask(0);
    QuarvelctlChild init({"init-db", scratch.location()});
    const int initExit = init.Wait();
    SqlPlayerDatabase database(scratch.location());
    database.Open();
    database.BeginStep();
    database.AddGuid(kGuidA);
    database.CommitStep();
    ::umask(before);
    ASSERT_EQ(initExit, 0) << init.err();
    for (const char* suffix : {"", "-wal", "-shm"}) {
        SCOPED_TRACE(suffix);
        struct stat info {};
        ASSERT_EQ(::stat((scratch.location() + suffix).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
    database.Close();
}

} // namespace
