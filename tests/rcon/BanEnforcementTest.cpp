// The harvest services enforcing the ban states: two quarvelctl follow
// --harvest processes, each on its own server's log, one shared player
// database, the fake servers served by this test's event loop.
#include "../logmodel/TempFile.h"
#include "../playerdb/QuarvelctlChild.h"
#include "BanStates.h"
#include "FakeGameServer.h"
#include "QuarvelctlRun.h"
#include "ScratchDatabase.h"
#include "TestApplication.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {

const std::string kBanned = "B0000000000000000000000000000001";
const std::string kTempBanned = "B0000000000000000000000000000002";
const std::string kLifted = "B0000000000000000000000000000003";
const std::string kExpired = "B0000000000000000000000000000004";
const std::string kNeverBanned = "B0000000000000000000000000000005";

std::string ConnectLine(int slot, const std::string& guid) {
    return "  1:00 ClientConnect: " + std::to_string(slot) + " - 192.0.2." +
           std::to_string(slot + 1) + ":27960 [" + guid + "]\n";
}

void Append(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

std::size_t LineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Serves the fake servers until `done` holds, for at most 10 s.
bool ServeUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 10000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Stops a follower, serving the fake servers while it ends: the answers to
// the kicks it sent are awaited and kept first. Its exit code.
int Stop(QuarvelctlChild& follower) {
    follower.Signal(SIGTERM);
    int code = -1;
    ServeUntil([&] {
        code = follower.Wait(std::chrono::milliseconds(0));
        return !follower.running();
    });
    return code;
}

class BanEnforcement : public testing::TestWithParam<TestEngine> {
protected:
    void SetUp() override {
        if (!scratch.skipReason().empty()) {
            GTEST_SKIP() << scratch.skipReason();
        }
        scratch.Create();
        const BanRequest reason{"", "aimbot", "Cheater", ""};
        BanStates states(scratch.location(), "alice");
        for (const std::string& guid : {kBanned, kLifted}) {
            BanRequest request = reason;
            request.guid = guid;
            ASSERT_EQ(states.Ban(request).outcome, BanChangeOutcome::Banned);
        }
        BanRequest temp = reason;
        temp.guid = kTempBanned;
        ASSERT_EQ(states.TempBan(temp, 60).outcome, BanChangeOutcome::Banned);
        ASSERT_EQ(states.Lift(kLifted, "appeal").outcome, BanChangeOutcome::Lifted);
        states.Close();
        // A temp-ban made two hours ago, for an hour.
        BanStates earlier(scratch.location(), "alice", [] {
            BanTime now = LocalBanTime();
            now.epochSeconds -= 2 * 3600;
            return now;
        });
        temp.guid = kExpired;
        ASSERT_EQ(earlier.TempBan(temp, 60).outcome, BanChangeOutcome::Banned);
        earlier.Close();
    }

    // A follower of the server's log; back once it has printed the lines the
    // log held when it started (its history), so that what is appended from
    // then on is read live.
    std::unique_ptr<QuarvelctlChild> Follow(const TempFile& log, const std::string& lines) {
        auto child = std::make_unique<QuarvelctlChild>(
            std::vector<std::string>{"follow", log.path(), "--harvest", "--config", config.path()});
        EXPECT_TRUE(ServeUntil([&] { return LineCount(child->out()) == LineCount(lines); }))
            << child->err();
        return child;
    }

    TestApplication app;
    FakeGameServer alpha{"a"}, bravo{"b"};
    // A database of its own: its URI must fit quarvel.cfg.
    ScratchDatabase scratch{GetParam(), ScratchDatabase::Isolation::Database};
    // Each log's history holds the banned GUID's connect already: old, it is
    // never kicked.
    const std::string history = "  0:00 InitGame: \\sv_hostname\\Test\n" + ConnectLine(9, kBanned);
    TempFile alphaLog{history, ".log"};
    TempFile bravoLog{history, ".log"};
    TempFile config{ServerBlock("Alpha", alpha.port(), "a") + "log=" + alphaLog.path() + "\n" +
                        ServerBlock("Bravo", bravo.port(), "b") + "log=" + bravoLog.path() +
                        "\n[database]\nfile=" + scratch.location() + "\n",
                    ".cfg"};
};

TEST_P(BanEnforcement, EachServiceKicksOnceOnItsOwnServerAndAgainOnlyNewConnects) {
    auto alphaFollower = Follow(alphaLog, history);
    auto bravoFollower = Follow(bravoLog, history);
    // Every GUID connects to both servers, each in its own slot; only an
    // active ban is kicked, on the server whose log has the connect.
    struct Case {
        const std::string& guid;
        int slot;
        std::string kick; // the command each server gets; none when empty
    };
    const Case cases[] = {
        {kNeverBanned, 1, ""},
        {kBanned, 2, "clientkick 2"},
        {kLifted, 3, ""},
        {kExpired, 4, ""},
        {kTempBanned, 5, "pb_sv_kick 6 60 \"aimbot\""},
    };
    std::vector<std::string> expected;
    std::string connects;
    for (const Case& c : cases) {
        connects += ConnectLine(c.slot, c.guid) +
                    "  1:01 ClientUserinfoChanged: " + std::to_string(c.slot) +
                    " n\\Cheater\\t\\1\n";
        if (!c.kick.empty()) {
            expected.push_back(c.kick);
        }
    }
    Append(alphaLog.path(), connects);
    Append(bravoLog.path(), connects);
    // Then the banned GUID once more, in slot 6: a new connect, kicked again.
    // Its kick comes after any second kick of the connects before it would.
    Append(alphaLog.path(), ConnectLine(6, kBanned));
    Append(bravoLog.path(), ConnectLine(6, kBanned));
    expected.push_back("clientkick 6");
    ASSERT_TRUE(ServeUntil([&] {
        return alpha.commands().size() >= expected.size() &&
               bravo.commands().size() >= expected.size();
    })) << alphaFollower->err()
        << bravoFollower->err();
    EXPECT_EQ(alpha.commands(), expected);
    EXPECT_EQ(bravo.commands(), expected);

    // A follower started again reads every connect so far as history: it
    // kicks only the one written after its start.
    EXPECT_EQ(Stop(*alphaFollower), 0) << alphaFollower->err();
    const std::string alphaErr = alphaFollower->err();
    std::size_t said = 0;
    for (auto at = alphaErr.find(": Ban enforced ("); at != std::string::npos;
         at = alphaErr.find(": Ban enforced (", at + 1)) {
        ++said;
    }
    EXPECT_EQ(said, expected.size()) << alphaErr;
    EXPECT_NE(alphaErr.find("Alpha: slot 2 " + kBanned + ": Ban enforced (banned by alice): "),
              std::string::npos)
        << alphaErr;
    alphaFollower = Follow(alphaLog, history + connects + ConnectLine(6, kBanned));
    Append(alphaLog.path(), ConnectLine(7, kTempBanned));
    expected.push_back("pb_sv_kick 8 60 \"aimbot\"");
    ASSERT_TRUE(ServeUntil([&] { return alpha.commands().size() >= expected.size(); }))
        << alphaFollower->err();
    EXPECT_EQ(alpha.commands(), expected);

    // A rotation: the file that takes the log's place is written while the
    // follower runs, its connects live.
    std::vector<std::string> bravoExpected = bravo.commands();
    const std::string rotated = bravoLog.path() + ".1";
    std::filesystem::rename(bravoLog.path(), rotated);
    std::ofstream(bravoLog.path())
        << "  0:00 InitGame: \\sv_hostname\\Test\n" + ConnectLine(8, kBanned);
    bravoExpected.push_back("clientkick 8");
    ASSERT_TRUE(ServeUntil([&] { return bravo.commands().size() >= bravoExpected.size(); }))
        << bravoFollower->err();
    EXPECT_EQ(bravo.commands(), bravoExpected);
    std::filesystem::remove(rotated);

    EXPECT_EQ(Stop(*alphaFollower), 0) << alphaFollower->err();
    EXPECT_EQ(Stop(*bravoFollower), 0) << bravoFollower->err();

    // Each kick is a ban record of its server that names the ban.
    EXPECT_EQ(
        scratch.QueryColumn(R"(SELECT "Server_Name" || ' ' || "Action" || ' ' || "GUID")"
                            R"( || ' ' || "IP_Full" || ' ' || "Reason" FROM "Ban_Records")"
                            R"( WHERE "Server_Name" <> '' ORDER BY "Server_Name", "IP_Full")"),
        (std::vector<std::string>{
            "Alpha kick " + kBanned + " 192.0.2.3 aimbot",
            "Alpha tempkick " + kTempBanned + " 192.0.2.6 aimbot",
            "Alpha kick " + kBanned + " 192.0.2.7 aimbot",
            "Alpha tempkick " + kTempBanned + " 192.0.2.8 aimbot",
            "Bravo kick " + kBanned + " 192.0.2.3 aimbot",
            "Bravo tempkick " + kTempBanned + " 192.0.2.6 aimbot",
            "Bravo kick " + kBanned + " 192.0.2.7 aimbot",
            "Bravo kick " + kBanned + " 192.0.2.9 aimbot",
        }));
}

INSTANTIATE_TEST_SUITE_P(Engines, BanEnforcement,
                         testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                         [](const auto& info) { return EngineName(info.param); });

} // namespace
