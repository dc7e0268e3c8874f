// quarvelctl status and rcon, run as a program against fake servers served
// by this test's event loop.
#include "../logmodel/TempFile.h"
#include "BanStates.h"
#include "FakeGameServer.h"
#include "QuarvelctlRun.h"
#include "ScratchDatabase.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

namespace {

const std::string kInfoGuid = "ABCDEFABCDEFABCDEFABCDEFABCDEF01";
const std::string kLogGuid = "0123456789ABCDEF0123456789ABCDEF";

class LiveCommand : public testing::Test {
protected:
    TestApplication app;
    FakeGameServer alpha{"alpha-secret"}, bravo{"bravo-secret"};
    // Bravo is read last and asked first.
    TempFile config{ServerBlock("Alpha", alpha.port(), "alpha-secret") +
                        ServerBlock("Bravo", bravo.port(), "wrong-secret"),
                    ".cfg"};
    const QString configPath = QString::fromStdString(config.path());
};

TEST_F(LiveCommand, StatusPrintsOneObjectAServerAndNoPassword) {
    alpha.SetMap("mp_carentan");
    alpha.SetPlayers({{0, "Angelyss", "bot", "", 2, 0},
                      {3, "^1Red ^7Baron", "192.0.2.7:27960", kInfoGuid, -3, -1}});
    const ProgramRun run = Quarvelctl({"status", "--config", configPath, "--json"});
    EXPECT_EQ(run.exitCode, 1) << run.err; // Bravo refuses the password
    EXPECT_EQ(run.out,
              "{\"name\": \"Bravo\", \"reachable\": true, \"error\": \"Invalid RCON password\", "
              "\"map\": \"\", \"players\": []}\n"
              "{\"name\": \"Alpha\", \"reachable\": true, \"error\": null, \"map\": "
              "\"mp_carentan\", \"players\": [{\"slot\": 0, \"name\": \"Angelyss\", "
              "\"plainName\": \"Angelyss\", \"score\": 2, \"ping\": 0, \"address\": \"bot\", "
              "\"guid\": null, \"guidFrom\": null, \"ban\": null}, {\"slot\": 3, \"name\": \"^1Red "
              "^7Baron\", "
              "\"plainName\": \"Red Baron\", \"score\": -3, \"ping\": \"connecting\", "
              "\"address\": \"192.0.2.7:27960\", \"guid\": \"" +
                  kInfoGuid + "\", \"guidFrom\": \"userinfo\", \"ban\": null}]}\n");
    for (const char* secret : {"alpha-secret", "wrong-secret"}) {
        EXPECT_EQ(run.out.find(secret), std::string::npos);
        EXPECT_EQ(run.err.find(secret), std::string::npos);
    }
}

TEST_F(LiveCommand, StatusOfOneServerAsText) {
    alpha.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", "", 12, 48}});
    const ProgramRun run = Quarvelctl({"status", "--config", configPath, "--server", "Alpha"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Alpha: oasago2, 1 player\n"
                       "  3    12   48 Red Baron  192.0.2.7:27960\n");
    EXPECT_TRUE(bravo.received().empty());
    const ProgramRun unknown =
        Quarvelctl({"status", "--config", configPath, "--server", "Charlie"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.err, "quarvelctl: no server is named Charlie\n");
}

TEST_F(LiveCommand, RconPrintsTheWholeAnswerAndSaysHowItEnded) {
    std::vector<FakePlayer> players;
    for (int slot = 0; slot < 20; ++slot) {
        players.push_back({slot, "Player " + std::to_string(slot), "192.0.2.1:1", "", slot, 9});
    }
    alpha.SetPlayers(players);
    alpha.AnswerInPiecesOf(300);
    const struct {
        QStringList arguments;
        int exitCode;
        std::string out;
        std::string err;
    } cases[] = {
        {{"--server", "Alpha", "--", "status"}, 0, alpha.StatusText(), ""},
        {{"--server", "Alpha", "--", "say", "hello", "all"},
         0,
         "broadcast: print \"server: hello all\\n\"\n",
         ""},
        {{"--server", "Bravo", "--", "status"},
         4,
         "Bad rconpassword.\n",
         "quarvelctl: Bravo: Invalid RCON password\n"},
        {{"--server", "Alpha", "--", "say", "a\nb"},
         2,
         "",
         "quarvelctl: Alpha: Not sent: the command holds a control character.\n"},
        {{"--", "status"}, 2, "", "quarvelctl: --server NAME is needed\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run =
            Quarvelctl(QStringList{"rcon", "--config", configPath} + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.out, c.out) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, c.err) << c.arguments.join(' ').toStdString();
    }
    EXPECT_EQ(alpha.commands(), (std::vector<std::string>{"status", "say hello all"}));
}

TEST_F(LiveCommand, RconToASilentServerIsNoReply) {
    alpha.StaySilent();
    const ProgramRun run =
        Quarvelctl({"rcon", "--config", configPath, "--server", "Alpha", "--", "status"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "quarvelctl: Alpha: No reply\n");
}

TEST_F(LiveCommand, KickAndSaySendTheServersOwnCommands) {
    alpha.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", "", 12, 48}});
    TempFile custom(ServerBlock("Alpha", alpha.port(), "alpha-secret") +
                        "kick=pb_sv_kick {pbslot} 1 \"{reason}\"\nsay=say \"^3{text}\"\n",
                    ".cfg");
    const QString customPath = QString::fromStdString(custom.path());
    const struct {
        QStringList arguments;
        int exitCode;
        std::string out;
    } cases[] = {
        {{"say", "--config", configPath, "--server", "Alpha", "--", "hello", "all"},
         0,
         "broadcast: print \"server: hello all\\n\"\n"},
        {{"say", "--config", customPath, "--server", "Alpha", "--", "a \"quoted\" word"},
         0,
         "broadcast: print \"server: \"^3a 'quoted' word\"\\n\"\n"},
        {{"kick", "--config", customPath, "--server", "Alpha", "--slot", "3", "--reason", "aim"},
         0,
         "PunkBuster Server: ^1Red ^7Baron kicked\n"},
        {{"kick", "--config", configPath, "--server", "Alpha", "--slot", "7"},
         0,
         "Bad client slot: 7\n"},
        {{"kick", "--config", configPath, "--server", "Alpha", "--slot", "x"}, 2, ""},
        {{"kick", "--config", configPath, "--server", "Bravo", "--slot", "1"},
         4,
         "Bad rconpassword.\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Quarvelctl(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString() << run.err;
        EXPECT_EQ(run.out, c.out) << c.arguments.join(' ').toStdString();
    }
    EXPECT_EQ(alpha.commands(),
              (std::vector<std::string>{"say hello all", "say \"^3a 'quoted' word\"",
                                        "pb_sv_kick 4 1 \"aim\"", "clientkick 7"}));
}

TEST_F(LiveCommand, StatusTakesTheGuidFromTheServersLogWhereTheAddressStillMatches) {
    TempFile log("   0:01 ClientConnect: 3 - 192.0.2.7:5 [" + kLogGuid +
                     "]\n"
                     "   0:02 ClientConnect: 4 - 192.0.2.99:5 [" +
                     kLogGuid + "]\n",
                 ".log");
    TempFile withLog(
        ServerBlock("Alpha", alpha.port(), "alpha-secret") + "log=" + log.path() + "\n", ".cfg");
    // Slot 4 is another player now: his userinfo is asked instead.
    alpha.SetPlayers({{3, "Bob", "192.0.2.7:27960", kInfoGuid, 1, 40},
                      {4, "Ann", "192.0.2.8:27960", kInfoGuid, 1, 40}});
    const ProgramRun run =
        Quarvelctl({"status", "--config", QString::fromStdString(withLog.path())});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Alpha: oasago2, 2 players\n"
                       "  3     1   40 Bob  192.0.2.7:27960  " +
                           kLogGuid +
                           " (log)\n"
                           "  4     1   40 Ann  192.0.2.8:27960  " +
                           kInfoGuid + " (userinfo)\n");
    EXPECT_EQ(alpha.commands(), (std::vector<std::string>{"status", "dumpuser 4"}));
}

// A temp-ban temp-kicks the player at once from every server he is on, for
// what is left of the ban, with its reason; a server he is not on is told
// apart from one that could not be asked, and each kick is kept in the
// records beside the state's.
TEST_F(LiveCommand, TempBanTempKicksThePlayerWhereHePlays) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    scratch.Create();
    FakeGameServer charlie{"charlie-secret"};
    TempFile withDatabase(ServerBlock("Alpha", alpha.port(), "alpha-secret") +
                              ServerBlock("Bravo", bravo.port(), "bravo-secret") +
                              ServerBlock("Charlie", charlie.port(), "wrong-secret") +
                              "[database]\nfile=" + scratch.location() + "\n",
                          ".cfg");
    const QString path = QString::fromStdString(withDatabase.path());
    alpha.SetPlayers({{2, "Ann", "192.0.2.8:27960", kLogGuid, 1, 40},
                      {3, "^1Red ^7Baron", "192.0.2.7:27960", kInfoGuid, 1, 40}});
    bravo.SetPlayers({{3, "Ann", "192.0.2.8:27960", kLogGuid, 1, 40}});
    charlie.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", kInfoGuid, 1, 40}});
    const ProgramRun run =
        Quarvelctl({"tempban", "--config", path, "--guid", QString::fromStdString(kInfoGuid),
                    "--minutes", "90", "--reason", "wall \"hack\""});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("Ban state: Banned until ")) << run.out;
    const auto kicks = run.out.substr(run.out.find('\n') + 1);
    // Asked in the configuration's order, last block first.
    EXPECT_EQ(kicks, "Charlie: Invalid RCON password\n"
                     "Bravo: " +
                         kInfoGuid +
                         " is not on this server\n"
                         "Alpha: slot 3: PunkBuster Server: ^1Red ^7Baron kicked\n")
        << run.err;
    EXPECT_EQ(alpha.commands(), (std::vector<std::string>{"status", "dumpuser 2", "dumpuser 3",
                                                          "pb_sv_kick 4 90 \"wall 'hack'\""}));
    EXPECT_EQ(bravo.commands(), (std::vector<std::string>{"status", "dumpuser 3"}));
    EXPECT_EQ(charlie.players().size(), 1U);
    EXPECT_EQ(scratch.QueryColumn(R"(SELECT "Action" || ' ' || "Server_Name" || ' ' || )"
                                  R"(COALESCE("Minutes", 0) || ' ' || "Result" || ' ' || "Reason")"
                                  R"( FROM "Ban_Records" WHERE "Server_Name" <> '')"
                                  R"( ORDER BY "Record_key")"),
              (std::vector<std::string>{
                  "tempkick Charlie 90 Invalid RCON password wall \"hack\"",
                  "tempkick Alpha 90 PunkBuster Server: ^1Red ^7Baron kicked wall \"hack\""}));
}

// The player database gives the GUID last seen with a player's address, and
// the ban that holds it off now.
class LiveStatusDatabase : public LiveCommand, public testing::WithParamInterface<TestEngine> {};

TEST_P(LiveStatusDatabase, GivesTheGuidSeenWithTheAddress) {
    ScratchDatabase scratch(GetParam(), ScratchDatabase::Isolation::Database);
    if (!scratch.skipReason().empty()) {
        GTEST_SKIP() << scratch.skipReason();
    }
    TempFile withDatabase(ServerBlock("Alpha", alpha.port(), "alpha-secret") +
                              "[database]\nfile=" + scratch.location() + "\n",
                          ".cfg");
    const QString path = QString::fromStdString(withDatabase.path());
    TempFile log("   0:01 ClientConnect: 3 - 192.0.2.7:5 [" + kLogGuid +
                     "]\n"
                     "   0:02 ClientUserinfoChanged: 3 n\\^1Bob\\t\\1\\m\n",
                 ".log");
    scratch.Create();
    ASSERT_EQ(
        Quarvelctl({"harvest", "--config", path, QString::fromStdString(log.path())}).exitCode, 0);
    {
        BanStates states(scratch.location(), "alice");
        ASSERT_EQ(states.Ban({kLogGuid, "wall", "Bob", ""}).outcome, BanChangeOutcome::Banned);
    }
    alpha.SetPlayers({{3, "Bob", "192.0.2.7:27960", kInfoGuid, 1, 40},
                      {4, "Ann", "192.0.2.8:27960", kInfoGuid, 1, 40}});
    const ProgramRun run = Quarvelctl({"status", "--config", path});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Alpha: oasago2, 2 players\n"
                       "  3     1   40 Bob  192.0.2.7:27960  " +
                           kLogGuid +
                           " (database)  banned\n"
                           "  4     1   40 Ann  192.0.2.8:27960  " +
                           kInfoGuid + " (userinfo)\n");
    EXPECT_EQ(alpha.commands(), (std::vector<std::string>{"status", "dumpuser 4"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, LiveStatusDatabase,
                         testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                         [](const auto& info) { return EngineName(info.param); });

} // namespace
