#include "../logmodel/TempFile.h"
#include "../playerdb/ReadOnlyDatabase.h"
#include "FakeGameServer.h"
#include "QuarvelctlRun.h"
#include "ScratchDatabase.h"
#include "TestApplication.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

const std::string kGuid = "00112233445566778899aabbccddeeff";

class BanCommand : public testing::Test {
protected:
    TestApplication app;
    FakeGameServer first{"one"}, second{"two"};
    // The block read last is asked first.
    TempFile config{ServerBlock("First", first.port(), "one") +
                        ServerBlock("Second", second.port(), "two"),
                    ".cfg"};
    const QString configPath = QString::fromStdString(config.path());
};

TEST_F(BanCommand, PrintsOneLineAServerInListOrder) {
    first.AddBan(kGuid);
    const ProgramRun run =
        Quarvelctl({"ban", "--config", configPath, "--guid", QString::fromStdString(kGuid),
                    "--name", "Caf\u00e9", "--ip", "1.2.3.4", "--reason", "aim"});
    EXPECT_EQ(run.out, "Second: GUID added to ban list\n"
                       "First: Ban failed Usually this happens if the supplied GUID is already "
                       "banned\n");
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(second.received().size(), 1u);
    // The command line's UTF-8 goes out as the log's single bytes.
    EXPECT_EQ(second.received()[0], "\xFF\xFF\xFF\xFFrcon \"two\" pb_sv_banguid " + kGuid +
                                        " \"Caf\xE9\" 1.2.3.4 \"aim\"");
}

TEST_F(BanCommand, ExitsWithZeroWhenEveryServerCarriedItOut) {
    first.AddBan(kGuid);
    second.AddBan(kGuid);
    const ProgramRun run =
        Quarvelctl({"unban", "--config", configPath, "--guid", QString::fromStdString(kGuid)});
    EXPECT_EQ(run.out, "Second: GUID removed from ban list\nFirst: GUID removed from ban list\n");
    EXPECT_EQ(run.exitCode, 0);
}

// Values that would shift the command's arguments or open a comment in the
// server's tokenizer are refused on every server, and nothing goes out.
struct RefusedBan {
    const char* name;
    std::string guid;
    std::string ip;
    std::string why;
};

class BanRefusal : public BanCommand, public testing::WithParamInterface<RefusedBan> {};

TEST_P(BanRefusal, TellsWhyARequestWasNotSent) {
    const RefusedBan& c = GetParam();
    const ProgramRun run =
        Quarvelctl({"ban", "--config", configPath, "--guid", QString::fromStdString(c.guid),
                    "--name", "n", "--ip", QString::fromStdString(c.ip), "--reason", "r"});
    EXPECT_EQ(run.out, "Second: " + c.why + "\nFirst: " + c.why + "\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(first.received().empty());
    EXPECT_TRUE(second.received().empty());
}

const std::string kBadIp =
    "Not sent: the IP address must be a dotted IPv4 address such as 192.0.2.7.";
const std::string kBadGuid = "Not sent: the GUID must be exactly 32 hexadecimal digits.";

INSTANTIATE_TEST_SUITE_P(
    Values, BanRefusal,
    testing::Values(RefusedBan{"NoConnectionData", kGuid, "No connection data", kBadIp},
                    RefusedBan{"GuidNotHex", "0123456789ABCDEF0123456789ABCDEZ", "1.2.3.4",
                               kBadGuid},
                    RefusedBan{"IpThenLineComment", kGuid, "1.2.3.4//", kBadIp},
                    RefusedBan{"IpThenBlockComment", kGuid, "1.2.3.4/*", kBadIp}),
    [](const testing::TestParamInfo<RefusedBan>& info) { return std::string(info.param.name); });

TEST_F(BanCommand, AnEmptyGuidIsRefusedOnceAndSentNowhere) {
    for (const QStringList& arguments :
         {QStringList{"unban", "--config", configPath, "--guid", ""},
          QStringList{"ban", "--config", configPath, "--guid", "", "--name", "n", "--ip", "1.2.3.4",
                      "--reason", "r"},
          QStringList{"ban", "--config", configPath, "--guid", QString::fromStdString(kGuid),
                      "--name", "n", "--ip", "", "--reason", "r"}}) {
        const ProgramRun run = Quarvelctl(arguments);
        EXPECT_EQ(run.out, "No connection data for this player: nothing was sent\n")
            << arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, 1);
    }
    EXPECT_TRUE(first.received().empty());
    EXPECT_TRUE(second.received().empty());
}

TEST_F(BanCommand, NoServersConfigured) {
    TempFile empty("[database]\nfile=players.sqlite\n", ".cfg");
    const ProgramRun run =
        Quarvelctl({"unban", "--config", QString::fromStdString(empty.path()), "--guid", "x"});
    // With a database configured the ban state is asked too, and refuses
    // what is no GUID before it opens anything.
    EXPECT_EQ(run.out, "No servers configured\nBan state: Not kept: the GUID must be exactly 32 "
                       "hexadecimal digits.\n");
    EXPECT_EQ(run.exitCode, 1);
}

TEST_F(BanCommand, TempBanAndBansRefuseWrongValuesAndNeedADatabase) {
    const QString guid = QString::fromStdString(kGuid);
    const auto run = [](const QString& config, QStringList arguments) {
        arguments << "--config" << config;
        return Quarvelctl(arguments);
    };
    for (const QStringList& arguments :
         {QStringList{"tempban", "--guid", guid, "--minutes", "0", "--reason", "r"},
          QStringList{"tempban", "--guid", guid, "--minutes", "5270401", "--reason", "r"},
          QStringList{"tempban", "--guid", guid, "--reason", "r"},
          QStringList{"bans", "--guid", "0123"}}) {
        EXPECT_EQ(run(configPath, arguments).exitCode, 2) << arguments.join(' ').toStdString();
    }
    // No database configured.
    EXPECT_EQ(
        run(configPath, {"tempban", "--guid", guid, "--minutes", "5", "--reason", "r"}).exitCode,
        1);
    TempFile database("[database]\nfile=players.sqlite\n", ".cfg");
    const ProgramRun notGuid = run(QString::fromStdString(database.path()),
                                   {"tempban", "--guid", "xyz", "--minutes", "5", "--reason", "r"});
    EXPECT_EQ(notGuid.exitCode, 1);
    EXPECT_EQ(notGuid.out,
              "Ban state: Not kept: the GUID must be exactly 32 hexadecimal digits.\n");
    EXPECT_TRUE(first.received().empty());
    EXPECT_TRUE(second.received().empty());
}

TEST_F(BanCommand, MissingOptionIsAUsageError) {
    EXPECT_EQ(Quarvelctl({"ban", "--config", configPath, "--guid", "x"}).exitCode, 2);
    EXPECT_EQ(Quarvelctl({"unban", "--config", configPath}).exitCode, 2);
    EXPECT_TRUE(first.received().empty());
}

// quarvelctl ban and unban with a player database: one record a server
// asked, on each engine.
class BanCommandRecords : public testing::TestWithParam<TestEngine> {
protected:
    void SetUp() override {
        scratch.emplace(GetParam(), ScratchDatabase::Isolation::Database);
        if (!scratch->skipReason().empty()) {
            GTEST_SKIP() << scratch->skipReason();
        }
        scratch->Create();
        refusing.AddBan(kGuid);
        silent.StaySilent();
        // Asked in the order Done, Refused, Password, Silent: the last block first.
        config.emplace(ServerBlock("Silent", silent.port(), "s") +
                           ServerBlock("Password", badPassword.port(), "wrong") +
                           ServerBlock("Refused", refusing.port(), "r") +
                           ServerBlock("Done", done.port(), "d") +
                           "[database]\nfile=" + scratch->location() + "\n",
                       ".cfg");
        configPath = QString::fromStdString(config->path());
    }

    // The history's lines, newest first, each cut to what follows "server".
    std::vector<std::string> HistoryTails() {
        const ProgramRun run = Quarvelctl({"history", "--config", configPath});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::vector<std::string> tails;
        std::size_t start = 0;
        for (std::size_t end = run.out.find('\n'); end != std::string::npos;
             start = end + 1, end = run.out.find('\n', start)) {
            const std::string line = run.out.substr(start, end - start);
            const std::size_t server = line.find("\"server\"");
            const std::size_t action = line.find("\"action\"");
            tails.push_back(line.substr(action, line.find("\"reason\"") - action) + "| " +
                            line.substr(server));
        }
        return tails;
    }

    TestApplication app;
    FakeGameServer done{"d"}, refusing{"r"}, badPassword{"p"}, silent{"s"};
    std::optional<ScratchDatabase> scratch;
    std::optional<TempFile> config;
    QString configPath;
};

TEST_P(BanCommandRecords, EveryServerAskedIsRecordedWithTheMessageItGave) {
    const ProgramRun ban =
        Quarvelctl({"ban", "--config", configPath, "--guid", QString::fromStdString(kGuid),
                    "--name", "^1Caf\u00e9", "--ip", "1.2.3.4", "--reason", "aim \"bot\""});
    EXPECT_EQ(ban.exitCode, 1) << ban.err;
    EXPECT_EQ(ban.err, "");
    const std::string who = "\"action\": \"ban\", \"guid\": \"" + kGuid +
                            "\", \"name\": \"^1Caf\u00e9\", \"ip\": \"1.2.3.4\", ";
    const std::string tail = "\"admin\": \"alice\", \"minutes\": null}";
    // The ban state's record comes last, after every server's, with the GUID
    // as logs write it.
    std::string upper = kGuid;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    const std::string state = "\"action\": \"ban\", \"guid\": \"" + upper +
                              "\", \"name\": \"^1Caf\u00e9\", \"ip\": \"1.2.3.4\", ";
    EXPECT_EQ(
        HistoryTails(),
        (std::vector<std::string>{
            state + "| \"server\": \"\", \"result\": \"Banned permanently\", " + tail,
            who + "| \"server\": \"Silent\", \"result\": \"No reply\", " + tail,
            who + "| \"server\": \"Password\", \"result\": \"Invalid RCON password\", " + tail,
            who +
                "| \"server\": \"Refused\", \"result\": \"Ban failed\\nUsually this "
                "happens if the\\nsupplied GUID is already banned\", " +
                tail,
            who + "| \"server\": \"Done\", \"result\": \"GUID added to ban list\", " + tail}));
    const ProgramRun history = Quarvelctl({"history", "--config", configPath});
    EXPECT_NE(history.out.find("\"reason\": \"aim \\\"bot\\\"\""), std::string::npos)
        << history.out;
    EXPECT_TRUE(done.IsBanned(kGuid));
}

TEST_P(BanCommandRecords, AnUnbanKnowsNoNameAddressOrReason) {
    done.AddBan(kGuid);
    const ProgramRun unban =
        Quarvelctl({"unban", "--config", configPath, "--guid", QString::fromStdString(kGuid)});
    EXPECT_EQ(unban.exitCode, 1);
    const ProgramRun history =
        Quarvelctl({"history", "--config", configPath, "--guid", QString::fromStdString(kGuid)});
    EXPECT_EQ(std::count(history.out.begin(), history.out.end(), '\n'), 4) << history.out;
    EXPECT_NE(history.out.find("\"action\": \"unban\", \"guid\": \"" + kGuid +
                               "\", \"name\": \"\", \"ip\": \"\", \"reason\": \"\", \"server\": "
                               "\"Done\", \"result\": \"GUID removed from ban list\""),
              std::string::npos)
        << history.out;
    EXPECT_FALSE(done.IsBanned(kGuid));
}

TEST_P(BanCommandRecords, KickAndSayAreKeptWithWhoWasInTheSlot) {
    const std::string guid = "ABCDEFABCDEFABCDEFABCDEFABCDEF01";
    done.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", guid, 12, 48}});
    const struct {
        QStringList arguments;
        int exitCode;
    } runs[] = {
        {{"kick", "--server", "Done", "--slot", "3", "--reason", "aim"}, 0},
        {{"kick", "--server", "Password", "--slot", "1"}, 4},
        {{"say", "--server", "Done", "--", "play", "fair"}, 0},
    };
    for (const auto& r : runs) {
        const ProgramRun run = Quarvelctl(QStringList{r.arguments.front(), "--config", configPath} +
                                          r.arguments.mid(1));
        EXPECT_EQ(run.exitCode, r.exitCode) << r.arguments.join(' ').toStdString() << run.err;
    }
    // Who was in the slot comes from the status and his userinfo, asked
    // before the kick.
    EXPECT_EQ(done.commands(),
              (std::vector<std::string>{"status", "dumpuser 3", "clientkick 3", "say play fair"}));
    const std::string nobody = "\"guid\": \"\", \"name\": \"\", \"ip\": \"\", | ";
    const std::string tail = "\"admin\": \"alice\", \"minutes\": null}";
    EXPECT_EQ(HistoryTails(),
              (std::vector<std::string>{
                  "\"action\": \"message\", " + nobody +
                      "\"server\": \"Done\", \"result\": \"broadcast: print "
                      "\\\"server: play fair\\\\n\\\"\", " +
                      tail,
                  "\"action\": \"kick\", " + nobody +
                      "\"server\": \"Password\", \"result\": \"Invalid RCON password\", " + tail,
                  "\"action\": \"kick\", \"guid\": \"" + guid +
                      "\", \"name\": \"^1Red ^7Baron\", \"ip\": \"192.0.2.7\", | "
                      "\"server\": \"Done\", \"result\": \"^1Red ^7Baron was kicked\", " +
                      tail}));
    const ProgramRun history = Quarvelctl({"history", "--config", configPath});
    EXPECT_NE(history.out.find("\"reason\": \"aim\""), std::string::npos) << history.out;
    EXPECT_NE(history.out.find("\"reason\": \"play fair\""), std::string::npos) << history.out;
}

TEST_P(BanCommandRecords, AReadOnlyDatabaseNeitherStopsTheBanNorGoesUnsaid) {
    MakeReadOnly(*scratch, GetParam());
    const ProgramRun ban =
        Quarvelctl({"ban", "--config", configPath, "--guid", QString::fromStdString(kGuid),
                    "--name", "n", "--ip", "1.2.3.4", "--reason", "r"});
    EXPECT_EQ(ban.exitCode, 1);
    // Every server was asked and told its answer.
    EXPECT_EQ(std::count(ban.out.begin(), ban.out.end(), '\n'), 4) << ban.out;
    EXPECT_TRUE(done.IsBanned(kGuid));
    EXPECT_NE(ban.err.find("quarvelctl: The ban went ahead, but the player database did not "
                           "store 4 of its 4 records: "),
              std::string::npos)
        << ban.err;
    const ProgramRun say =
        Quarvelctl({"say", "--config", configPath, "--server", "Done", "--", "hi"});
    EXPECT_EQ(say.exitCode, 1);
    EXPECT_EQ(say.out, "broadcast: print \"server: hi\\n\"\n");
    EXPECT_TRUE(say.err.starts_with("quarvelctl: The message went ahead, but the player database "
                                    "did not store its record: "))
        << say.err;
}

TEST_P(BanCommandRecords, EveryServerDoneAndRecordedIsExitZero) {
    TempFile file(ServerBlock("Done", done.port(), "d") +
                      "[database]\nfile=" + scratch->location() + "\n",
                  ".cfg");
    const ProgramRun ban = Quarvelctl({"ban", "--config", QString::fromStdString(file.path()),
                                       "--guid", QString::fromStdString(kGuid), "--name", "n",
                                       "--ip", "1.2.3.4", "--reason", "r"});
    EXPECT_EQ(ban.exitCode, 0) << ban.err;
    EXPECT_EQ(ban.out, "Done: GUID added to ban list\nBan state: Banned permanently\n");
    EXPECT_EQ(ban.err, "");
}

// The ban state beside the servers: set by ban whatever they answered,
// lifted by unban, a temp-ban kept in it alone, and listed by bans.
class BanStateCommands : public BanCommandRecords {
protected:
    ProgramRun Run(QStringList arguments) {
        arguments << "--config" << configPath;
        return Quarvelctl(arguments);
    }
    const QString guid = QString::fromStdString(kGuid);
};

TEST_P(BanStateCommands, ABanEveryServerMissedStillHoldsAndUnbanLiftsIt) {
    TempFile file(ServerBlock("Password", badPassword.port(), "wrong") +
                      "[database]\nfile=" + scratch->location() + "\n",
                  ".cfg");
    configPath = QString::fromStdString(file.path());
    const ProgramRun ban =
        Run({"ban", "--guid", guid, "--name", "n", "--ip", "1.2.3.4", "--reason", "aim"});
    EXPECT_EQ(ban.out, "Password: Invalid RCON password\nBan state: Banned permanently\n");
    EXPECT_EQ(ban.exitCode, 1);
    const ProgramRun active = Run({"bans", "--active", "--json"});
    EXPECT_EQ(active.exitCode, 0) << active.err;
    EXPECT_NE(active.out.find("\"kind\": \"permanent\", \"status\": \"active\", \"name\": "
                              "\"n\", \"reason\": \"aim\", \"issuedBy\": \"alice\""),
              std::string::npos)
        << active.out;
    EXPECT_NE(active.out.find("\"expiry\": null, \"expiryEpoch\": null, \"ended\": null"),
              std::string::npos)
        << active.out;

    const ProgramRun unban = Run({"unban", "--guid", guid, "--reason", "appeal"});
    EXPECT_EQ(unban.out, "Password: Invalid RCON password\nBan state: Ban lifted\n");
    const ProgramRun none = Run({"bans", "--active"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "No ban found\n");
    const ProgramRun all = Run({"bans", "--guid", guid});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_NE(all.out.find("00112233445566778899AABBCCDDEEFF  ban lifted "), std::string::npos)
        << all.out;
    EXPECT_NE(all.out.find(" by alice (appeal)  since "), std::string::npos) << all.out;
    EXPECT_EQ(Run({"unban", "--guid", guid}).out,
              "Password: Invalid RCON password\nBan state: Not banned: nothing to lift\n");
}

TEST_P(BanStateCommands, ATempBanIsKeptAndSentNowhereAndABanReplacesIt) {
    // Servers that answer at once: a temp-ban asks each who is on it.
    TempFile answering(ServerBlock("Password", badPassword.port(), "wrong") +
                           ServerBlock("Refused", refusing.port(), "r") +
                           ServerBlock("Done", done.port(), "d") +
                           "[database]\nfile=" + scratch->location() + "\n",
                       ".cfg");
    configPath = QString::fromStdString(answering.path());
    const ProgramRun temp =
        Run({"tempban", "--guid", guid, "--minutes", "90", "--reason", "spam", "--name", "Bob"});
    EXPECT_EQ(temp.exitCode, 0) << temp.err;
    EXPECT_EQ(temp.out.rfind("Ban state: Banned until ", 0), 0u) << temp.out;
    EXPECT_NE(temp.out.find(" (90 minutes)\n"), std::string::npos) << temp.out;
    // Asked who is on them, for the temp-kick where he plays; sent no ban.
    for (const FakeGameServer* server : {&done, &refusing, &badPassword}) {
        for (const std::string& command : server->commands()) {
            EXPECT_EQ(command, "status");
        }
    }
    const ProgramRun listed = Run({"bans", "--json", "--name", "BOB"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("\"kind\": \"temporary\", \"status\": \"active\""), std::string::npos)
        << listed.out;
    EXPECT_EQ(Run({"tempban", "--guid", guid, "--minutes", "5", "--reason", "r"})
                  .out.rfind("Ban state: Already banned until ", 0),
              0u);

    TempFile file(ServerBlock("Done", done.port(), "d") +
                      "[database]\nfile=" + scratch->location() + "\n",
                  ".cfg");
    configPath = QString::fromStdString(file.path());
    const ProgramRun ban =
        Run({"ban", "--guid", guid, "--name", "Bob", "--ip", "1.2.3.4", "--reason", "cheat"});
    EXPECT_EQ(ban.exitCode, 0) << ban.err;
    EXPECT_EQ(ban.out.rfind("Done: GUID added to ban list\nBan state: Banned permanently, "
                            "replacing the temp-ban until ",
                            0),
              0u)
        << ban.out;
    const ProgramRun states = Run({"bans", "--admin", "alice"});
    EXPECT_EQ(std::count(states.out.begin(), states.out.end(), '\n'), 2) << states.out;
    EXPECT_EQ(states.out.rfind("00112233445566778899AABBCCDDEEFF  banned  since ", 0), 0u)
        << states.out;
}

INSTANTIATE_TEST_SUITE_P(Engines, BanStateCommands,
                         testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                         [](const testing::TestParamInfo<TestEngine>& info) {
                             return EngineName(info.param);
                         });

INSTANTIATE_TEST_SUITE_P(Engines, BanCommandRecords,
                         testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                         [](const testing::TestParamInfo<TestEngine>& info) {
                             return EngineName(info.param);
                         });

} // namespace
