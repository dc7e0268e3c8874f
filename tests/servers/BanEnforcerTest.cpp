#include "BanEnforcer.h"

#include "FakeGameServer.h"
#include "KickWherePlaying.h"
#include "LogModel.h"
#include "ScratchDatabase.h"
#include "TempFile.h"
#include "TestApplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::string kGuid = "C0000000000000000000000000000001";

// What a ban asks at a connect: a kick for a permanent ban, a temp-kick for
// the whole minutes left of a temp-ban, the last begun counting.
TEST(BanKickAction, KicksForAPermanentBanAndTempKicksForWhatIsLeft) {
    struct Case {
        std::optional<std::int64_t> secondsLeft;
        BanAction action;
        std::optional<int> minutes;
    };
    const Case cases[] = {
        {std::nullopt, BanAction::Kick, std::nullopt},
        {3600, BanAction::TempKick, 60},
        {3601, BanAction::TempKick, 61},
        {61, BanAction::TempKick, 2},
        {1, BanAction::TempKick, 1},
    };
    const std::int64_t now = 1'700'000'000;
    for (const Case& c : cases) {
        BanState ban;
        ban.reason = "caf\u00e9";
        if (c.secondsLeft) {
            ban.kind = BanKind::Temporary;
            ban.expiry = now + *c.secondsLeft;
        }
        const PlayerAction action = BanKickAction(ban, now);
        EXPECT_EQ(action.action, c.action);
        EXPECT_EQ(action.minutes, c.minutes);
        EXPECT_EQ(action.reason, "caf\xe9"); // the log's bytes, as the server reads them
    }
}

TEST(ServerOfLog, FindsTheServerWhoseLogNamesTheFileThroughLinksAndRelativePaths) {
    TempFile log("", ".log");
    const std::filesystem::path link = log.path() + "-link.log";
    std::filesystem::create_symlink(log.path(), link);
    const auto config = [](const std::string& logPath) {
        AppConfig made;
        ServerEntry other{"Other", "127.0.0.1", 1, "x"};
        other.log = "/no/such/games.log";
        ServerEntry alpha{"Alpha", "127.0.0.1", 2, "x"};
        alpha.log = logPath;
        made.servers.push_front(ServerEntry{"NoLog", "127.0.0.1", 3, "x"});
        made.servers.push_front(alpha);
        made.servers.push_front(other);
        return made;
    };
    const QString path = QString::fromStdString(log.path());
    const std::string relative =
        QDir::current().relativeFilePath(path).toStdString(); // read from the working folder
    for (const std::string& written : {log.path(), link.string(), relative}) {
        const auto server = ServerOfLog(config(written), path);
        ASSERT_TRUE(server) << written;
        EXPECT_EQ(server->name, "Alpha");
        EXPECT_EQ(ServerOfLog(config(written), QString::fromStdString(link.string()))->name,
                  "Alpha");
    }
    EXPECT_FALSE(ServerOfLog(config("/no/such/other.log"), path));
    std::filesystem::remove(link);
}

class BanEnforcerOnOneServer : public testing::Test {
protected:
    void SetUp() override {
        scratch.Create();
        BanStates states(scratch.location(), "alice");
        ASSERT_EQ(states.Ban({kGuid, "wall \"hack\"", "Cheater", ""}).outcome,
                  BanChangeOutcome::Banned);
        states.Close();
        server.commands.kick = "kick {slot} \"{reason}\"";
    }

    // Serves the fake server until `done` holds, for at most 5 s.
    static bool ServeUntil(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return done();
    }

    TestApplication app;
    FakeGameServer game{"secret"};
    ScratchDatabase scratch{TestEngine::Sqlite};
    ServerEntry server{"Alpha", "127.0.0.1", game.port(), "secret"};
};

// Only a connect line with a slot and a banned GUID is kicked: every line is
// read as the classifier reads it (a shortened keyword is a connect's, a GUID
// in small letters none).
TEST_F(BanEnforcerOnOneServer, KicksOnlyTheBannedGuidsConnectWithTheServersKickCommand) {
    BanEnforcer enforcer(server, scratch.location());
    QStringList said;
    QObject::connect(&enforcer, &BanEnforcer::enforced, [&](const QString& t) { said << t; });
    QObject::connect(&enforcer, &BanEnforcer::problem, [&](const QString& t) { said << t; });
    const std::string lines[] = {
        "   0:01 ClientUserinfoChanged: 3 n\\x\\t\\1 [" + kGuid + "]",
        "   0:01 ClientConnect: 64 - 10.0.0.1:5 [" + kGuid + "]",
        "   0:01 ClientConnect: 4 - 10.0.0.1:5 [C0000000000000000000000000000002]",
        "   0:01 say: ClientConnect: 5 - 10.0.0.1:5 [" + kGuid + "]",
        "   0:01 ClientConnect: 6 - 10.0.0.6:5 [" + kGuid.substr(0, 31) + "]",
        "   0:02 Client: 7 - 10.0.0.7:5 [" + kGuid + "]",
        "   0:03 ClientConnect: 8 - 10.0.0.8:5 [c0000000000000000000000000000001]",
    };
    for (const std::string& line : lines) {
        enforcer.LineRead(line, kEventTextOffset);
    }
    ASSERT_TRUE(ServeUntil([&] { return enforcer.pending() == 0 && said.size() == 1; }))
        << said.join("|").toStdString();
    EXPECT_EQ(game.commands(), (std::vector<std::string>{"kick 7 \"wall 'hack'\""}));
    // This server runs no "kick": the kick failed, and is kept as failed.
    const std::string result =
        "Ban not enforced (banned by alice): Bad reply: Unknown command: kick";
    EXPECT_EQ(said.front().toStdString(), "Alpha: slot 7 " + kGuid + ": " + result);
    EXPECT_EQ(scratch.QueryColumn(R"(SELECT "Action" || ' ' || "IP_Full" || ' ' || "Result")"
                                  R"( FROM "Ban_Records" WHERE "Server_Name" = 'Alpha')"),
              (std::vector<std::string>{"kick 10.0.0.7 " + result}));
}

// A file that took the log's place: the latest connect of each slot, once;
// a slot taken again since by someone else is left alone.
TEST_F(BanEnforcerOnOneServer, KicksTheLatestConnectOfEachSlotOfAReplacingFile) {
    const auto connect = [](int slot, const std::string& guid) {
        return "   0:01 ClientConnect: " + std::to_string(slot) + " - 10.0.0." +
               std::to_string(slot) + ":5 [" + guid + "]\n";
    };
    const std::string other = "C0000000000000000000000000000002";
    TempFile file(connect(2, kGuid) + connect(4, kGuid) + connect(2, other) + connect(3, kGuid) +
                      connect(4, kGuid),
                  ".log");
    LogModel model;
    ASSERT_TRUE(model.Load(file.path()));
    BanEnforcer enforcer(server, scratch.location());
    int said = 0;
    QObject::connect(&enforcer, &BanEnforcer::enforced, [&] { ++said; });
    enforcer.FileReplaced(model);
    ASSERT_TRUE(ServeUntil([&] { return enforcer.pending() == 0 && said == 2; }));
    EXPECT_EQ(game.commands(),
              (std::vector<std::string>{"kick 3 \"wall 'hack'\"", "kick 4 \"wall 'hack'\""}));
}

// A ban that cannot be checked is said, and the connect goes unkicked; a
// kick the server's template cannot make is said and kept as not sent.
TEST_F(BanEnforcerOnOneServer, SaysWhatItCouldNotCheckOrSend) {
    const std::string connect = "   0:01 ClientConnect: 2 - 10.0.0.2:5 [" + kGuid + "]";
    std::vector<std::string> problems;
    {
        BanEnforcer nowhere(server, scratch.FileInFolder("missing/players.sqlite"));
        QObject::connect(&nowhere, &BanEnforcer::problem,
                         [&](const QString& t) { problems.push_back(t.toStdString()); });
        nowhere.LineRead(connect, kEventTextOffset);
    }
    ASSERT_EQ(problems.size(), 1U);
    EXPECT_TRUE(problems.front().starts_with("cannot check the ban of " + kGuid + ": "))
        << problems.front();

    server.commands.kick = "kick {slot} {minutes}"; // a kick has no minutes to give
    BanEnforcer enforcer(server, scratch.location());
    std::vector<std::string> said;
    QObject::connect(&enforcer, &BanEnforcer::enforced,
                     [&](const QString& t) { said.push_back(t.toStdString()); });
    enforcer.LineRead(connect, kEventTextOffset);
    ASSERT_EQ(said.size(), 1U);
    EXPECT_TRUE(said.front().starts_with("Alpha: slot 2 " + kGuid +
                                         ": Ban not enforced (banned by "
                                         "alice): "))
        << said.front();
    EXPECT_TRUE(game.commands().empty());
    EXPECT_EQ(scratch.QueryColumn(R"(SELECT "Action" FROM "Ban_Records" WHERE "Server_Name" = )"
                                  R"('Alpha')"),
              (std::vector<std::string>{"kick"}));
}

} // namespace
