// A harvest service that is killed, whose database connection is cut, whose
// database server stops, or stops answering: each a real quarvelctl follow
// process beside a log a writer keeps growing. Nothing may be lost or stored
// twice: the database ends as one harvest of the whole log leaves it.
#include "FollowerFixture.h"
#include "TempFile.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Waits up to `limit` for `text` on the follower's error output.
bool WaitToSay(const QuarvelctlChild& follower, const std::string& text,
               std::chrono::milliseconds limit = 15s) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (follower.err().find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

std::string FilePrefix(const std::string& path, std::size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    std::string prefix(bytes, '\0');
    in.read(prefix.data(), static_cast<std::streamsize>(bytes));
    prefix.resize(static_cast<std::size_t>(in.gcount()));
    return prefix;
}

// QUARVEL_KILL_ROUNDS asks for more (the stress run uses 50).
int KillRounds() {
    const char* rounds = std::getenv("QUARVEL_KILL_ROUNDS");
    return rounds != nullptr && std::atoi(rounds) > 0 ? std::atoi(rounds) : 10;
}

using FollowerKilled = SharedDatabaseTest;

// SIGKILL at random moments, each followed by a look at the database: it is
// sound, and holds exactly what one harvest of the log up to the place the
// follower stored holds. The follower started again goes on from there.
TEST_P(FollowerKilled, AtRandomMomentsLosesAndDoublesNothing) {
    const int rounds = KillRounds();
    TempFile log("");
    LogWriter writer(log.path(), SampleLogBytes(), rounds * 150ms);
    std::mt19937 random(7);
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        QuarvelctlChild follower(FollowArgs(log.path(), {"--report", "0"}));
        std::this_thread::sleep_for(std::chrono::milliseconds(30 + random() % 220));
        follower.Kill();
        ASSERT_EQ(scratch().QueryText("PRAGMA integrity_check"), "ok");
        const std::string offset =
            scratch().QueryText(R"(SELECT "Byte_Offset" FROM "Quarvel_Followers")");
        TempFile prefix(FilePrefix(log.path(), offset.empty() ? 0 : std::stoull(offset)));
        ReferenceHarvest reference(GetParam(), {prefix.path()});
        ASSERT_TRUE(SameRows(Sightings(scratch()), Sightings(reference.database())));
        ASSERT_EQ(GuidsOf(scratch()), GuidsOf(reference.database()));
    }
    writer.Finish();
    QuarvelctlChild follower(FollowArgs(log.path()));
    ASSERT_EQ(follower.Wait(), 0) << follower.err();
    ReferenceHarvest reference(GetParam(), {log.path()});
    EXPECT_TRUE(SameRows(Sightings(scratch()), Sightings(reference.database())));
    EXPECT_EQ(scratch().QueryText("PRAGMA integrity_check"), "ok");
}

INSTANTIATE_TEST_SUITE_P(Sqlite, FollowerKilled, ::testing::Values(TestEngine::Sqlite),
                         [](const auto& info) { return EngineName(info.param); });

// --- A database server that goes away ------------------------------------------

using FollowerCutOff = SharedDatabaseTest;

// The server ends the follower's connection mid-batch, as an administrator
// or a failover does: the follower says so once, connects again and goes
// on where its last committed batch left it.
TEST_P(FollowerCutOff, ByTerminatedBackendsGoesOnWhereItWas) {
    TempFile log("");
    LogWriter writer(log.path(), SharedPlayersLog(7, 3000), 1500ms);
    QuarvelctlChild follower(FollowArgs(log.path()));
    for (int cut = 0; cut < 2; ++cut) {
        std::this_thread::sleep_for(cut == 0 ? 400ms : 1200ms);
        scratch().Execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                          "current_database() AND pid <> pg_backend_pid()");
    }
    writer.Finish();
    ASSERT_EQ(follower.Wait(30s), 0) << follower.err();
    EXPECT_NE(follower.err().find("cannot be reached"), std::string::npos) << follower.err();
    EXPECT_NE(follower.err().find("is back"), std::string::npos) << follower.err();
    ReferenceHarvest reference(TestEngine::Sqlite, {log.path()});
    EXPECT_TRUE(SameRows(Sightings(scratch()), Sightings(reference.database()))) << follower.err();
}

// A server that stops answering (its machine hung, the network dropping
// everything) is given up after the statement limit (2 s here), and found
// again once it answers.
TEST_P(FollowerCutOff, ByAServerThatStopsAnsweringGoesOnOnceItAnswers) {
    TempFile log("");
    LogWriter writer(log.path(), SharedPlayersLog(8, 3000), 1500ms);
    QuarvelctlChild follower(FollowArgs(log.path()), {"QUARVEL_DB_DEADLINE=2"});
    std::this_thread::sleep_for(500ms);
    const std::vector<std::string> backends =
        scratch().QueryColumn("SELECT pid FROM pg_stat_activity WHERE datname = "
                              "current_database() AND pid <> pg_backend_pid()");
    ASSERT_FALSE(backends.empty());
    for (const std::string& pid : backends) {
        ::kill(std::stoi(pid), SIGSTOP);
    }
    const bool told = WaitToSay(follower, "did not answer within 2 seconds");
    for (const std::string& pid : backends) {
        ::kill(std::stoi(pid), SIGCONT);
    }
    ASSERT_TRUE(told) << follower.err();
    writer.Finish();
    ASSERT_EQ(follower.Wait(30s), 0) << follower.err();
    ReferenceHarvest reference(TestEngine::Sqlite, {log.path()});
    EXPECT_TRUE(SameRows(Sightings(scratch()), Sightings(reference.database())));
}

INSTANTIATE_TEST_SUITE_P(Postgres, FollowerCutOff, ::testing::Values(TestEngine::Postgres),
                         [](const auto& info) { return EngineName(info.param); });

// A throwaway server of the test's own (scripts/pg-throwaway), which it may
// stop and start.
class OwnServer {
public:
    OwnServer() {
        char folder[] = "/tmp/quarvel-own-pg.XXXXXX";
        if (::mkdtemp(folder) == nullptr) {
            return;
        }
        folder_ = folder;
        if (Script("init").empty()) {
            return;
        }
        port_ = Script("start");
    }
    ~OwnServer() { Script("remove"); }
    OwnServer(const OwnServer&) = delete;
    OwnServer& operator=(const OwnServer&) = delete;

    bool running() const { return !port_.empty(); }
    std::string Location() const { return "postgresql://quarvel@127.0.0.1:" + port_ + "/postgres"; }
    void Stop() { Script("stop"); }
    void Start() { Script("start"); }

private:
    // Runs the script; what it printed, or "" when it failed ("ok" when it
    // printed nothing).
    std::string Script(const std::string& command) const {
        if (folder_.empty()) {
            return {};
        }
        const std::string line = ShellQuote(QUARVEL_SOURCE_DIR "/scripts/pg-throwaway") + " " +
                                 command + " " + ShellQuote(folder_) + " 2>/dev/null";
        FILE* pipe = ::popen(line.c_str(), "r");
        if (pipe == nullptr) {
            return {};
        }
        std::array<char, 64> buffer{};
        std::string out;
        while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
            out += buffer.data();
        }
        if (::pclose(pipe) != 0) {
            return {};
        }
        while (!out.empty() && out.back() == '\n') {
            out.pop_back();
        }
        return out.empty() ? "ok" : out;
    }

    std::string folder_;
    std::string port_;
};

// The database server stopped and started again while the follower runs and
// the log grows: the follower keeps its place, tries again after 1 s, 2 s,
// 4 s..., and stores everything once the server is back.
TEST(FollowerServerRestart, StoresEverythingOnceTheServerIsBack) {
    if (std::getenv("QUARVEL_TEST_PG_URI") == nullptr) {
        GTEST_SKIP() << "QUARVEL_TEST_PG_URI is not set; run under scripts/with-postgres";
    }
    OwnServer server;
    ASSERT_TRUE(server.running());
    TempFile config("[database]\nfile=" + server.Location() + "\n", ".cfg");
    ASSERT_EQ(RunQuarvelctl({"init-db", server.Location()}).exitCode, 0);
    TempFile log("");
    LogWriter writer(log.path(), SharedPlayersLog(9, 4000), 2500ms);
    QuarvelctlChild follower({"follow", log.path(), "--config", config.path(), "--harvest",
                              "--no-lines", "--idle-exit", "1"});
    std::this_thread::sleep_for(700ms);
    server.Stop();
    ASSERT_TRUE(WaitToSay(follower, "cannot be reached")) << follower.err();
    std::this_thread::sleep_for(500ms);
    server.Start();
    writer.Finish();
    ASSERT_EQ(follower.Wait(40s), 0) << follower.err();
    EXPECT_NE(follower.err().find("is back"), std::string::npos) << follower.err();
    ReferenceHarvest reference(TestEngine::Sqlite, {log.path()});
    EXPECT_TRUE(SameRows(QueryColumnAt(server.Location(), kSightingsInOrder),
                         Sightings(reference.database())));
}

} // namespace
