// Several programs on one player database at once, each a real quarvelctl
// process: followers and harvests that share players, upgrades racing each
// other, and the window's connections beside another program's.
#include "FollowerFixture.h"
#include "ReleaseDatabase.h"
#include "SchemaUpgrade.h"
#include "SqlConnection.h"
#include "TempFile.h"

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
    for (int version = 1; version <= LatestSchemaVersion(); ++version) {
        const std::string step = "upgraded to version " + std::to_string(version) + " ";
        EXPECT_EQ(said.find(step), said.rfind(step)) << said;
        EXPECT_NE(said.find(step), std::string::npos) << said;
    }
    EXPECT_NE(said.find("folded 2 doubled sightings"), std::string::npos) << said;
    EXPECT_EQ(old.QueryColumn(R"(SELECT "Version" FROM "Quarvel_Schema" ORDER BY "Version")"),
              (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(old.QueryText(R"(SELECT COUNT(*) FROM "Players")"), "109");
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
