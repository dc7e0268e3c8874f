#include "ServerGuidLookup.h"

#include "BanStates.h"
#include "FakeGameServer.h"
#include "LiveServer.h"
#include "ScratchDatabase.h"
#include "TempFile.h"
#include "TestApplication.h"

#include <QEventLoop>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const std::string kLogGuid = "0123456789ABCDEF0123456789ABCDEF";
const std::string kNewGuid = "FEDCBA9876543210FEDCBA9876543210";

std::string Connect(int slot, const std::string& ip, const std::string& guid) {
    return "   0:01 ClientConnect: " + std::to_string(slot) + " - " + ip + ":5 [" + guid + "]\n";
}

AppConfig ConfigWithLog(const std::string& log) {
    AppConfig config;
    ServerEntry server{"Alpha", "127.0.0.1", 28960, "secret"};
    server.log = log;
    config.servers.push_front(server);
    return config;
}

class GuidLookup : public testing::Test {
protected:
    // Asks once and waits for the answers (nothing when none came).
    std::optional<DeferredGuidSource::Answers>
    Ask(ServerGuidLookup& lookup, std::vector<DeferredGuidSource::Question> questions) {
        std::optional<DeferredGuidSource::Answers> answers;
        QObject context;
        QEventLoop loop;
        lookup.FindLater(lookup_server, std::move(questions), &context,
                         [&](const DeferredGuidSource::Answers& given) {
                             answers = given;
                             loop.quit();
                         });
        QTimer::singleShot(10s, &loop, &QEventLoop::quit);
        loop.exec();
        return answers;
    }

    TestApplication app;
    ServerEntry lookup_server;
};

TEST_F(GuidLookup, FollowsTheServersLogAndTakesASlotOnlyWhileItsAddressMatches) {
    TempFile log(Connect(3, "192.0.2.7", kLogGuid) + Connect(4, "192.0.2.99", kLogGuid));
    const AppConfig config = ConfigWithLog(log.path());
    lookup_server = config.servers.front();
    ServerGuidLookup lookup(config);
    std::vector<QString> problems;
    QObject::connect(&lookup, &ServerGuidLookup::problem,
                     [&](const QString& text) { problems.push_back(text); });

    auto answers = Ask(lookup, {{3, "192.0.2.7"}, {4, "192.0.2.8"}, {9, "192.0.2.9"}});
    ASSERT_TRUE(answers);
    ASSERT_EQ(answers->size(), 3u);
    EXPECT_EQ((*answers)[0], (KnownGuid{kLogGuid, GuidFrom::Log}));
    EXPECT_FALSE((*answers)[1]); // slot 4 is another player's now
    EXPECT_FALSE((*answers)[2]);

    // What the log says afterwards is read on: slot 4 changed hands.
    std::ofstream(log.path(), std::ios::app) << Connect(4, "192.0.2.8", kNewGuid);
    answers = Ask(lookup, {{4, "192.0.2.8"}});
    ASSERT_TRUE(answers);
    EXPECT_EQ((*answers)[0], (KnownGuid{kNewGuid, GuidFrom::Log}));
    EXPECT_TRUE(problems.empty());
}

TEST_F(GuidLookup, AnUnreadableLogIsSaidOnceAndReadOnceItIsThere) {
    const std::string path = TempFile("").path() + ".gone"; // names no file
    const AppConfig config = ConfigWithLog(path);
    lookup_server = config.servers.front();
    ServerGuidLookup lookup(config);
    std::vector<QString> problems;
    QObject::connect(&lookup, &ServerGuidLookup::problem,
                     [&](const QString& text) { problems.push_back(text); });

    for (int round = 0; round < 2; ++round) {
        const auto answers = Ask(lookup, {{3, "192.0.2.7"}});
        ASSERT_TRUE(answers);
        EXPECT_FALSE((*answers)[0]);
    }
    EXPECT_EQ(problems, std::vector<QString>{QString::fromStdString("cannot read " + path)});

    std::ofstream(path) << Connect(3, "192.0.2.7", kLogGuid);
    const auto answers = Ask(lookup, {{3, "192.0.2.7"}});
    std::remove(path.c_str());
    ASSERT_TRUE(answers);
    EXPECT_EQ((*answers)[0], (KnownGuid{kLogGuid, GuidFrom::Log}));
}

TEST_F(GuidLookup, AnAnswerForAQuestionWhoseAskerIsGoneIsDropped) {
    TempFile log(Connect(3, "192.0.2.7", kLogGuid));
    const AppConfig config = ConfigWithLog(log.path());
    ServerGuidLookup lookup(config);
    bool called = false;
    {
        QObject context;
        lookup.FindLater(config.servers.front(), {{3, "192.0.2.7"}}, &context,
                         [&](const DeferredGuidSource::Answers&) { called = true; });
    }
    // A later question's answer comes after the first one's would have.
    lookup_server = config.servers.front();
    EXPECT_TRUE(Ask(lookup, {{3, "192.0.2.7"}}));
    EXPECT_FALSE(called);
}

// The panel's server: the log's GUID is shown as the log's, and the player
// the log knows is not asked for his userinfo.
TEST_F(GuidLookup, ALiveServersPlayersTakeTheLogsGuidBeforeTheirUserinfo) {
    FakeGameServer game{"secret"};
    TempFile log(Connect(3, "192.0.2.7", kLogGuid));
    AppConfig config;
    ServerEntry entry{"Alpha", "127.0.0.1", game.port(), "secret"};
    entry.log = log.path();
    config.servers.push_front(entry);
    ServerGuidLookup lookup(config);
    RconClient client;
    LiveServer live(client, entry);
    live.SetDeferredGuidSource(&lookup);
    game.SetPlayers({{3, "Bob", "192.0.2.7:27960", kNewGuid, 1, 40},
                     {5, "Ann", "192.0.2.8:27960", kNewGuid, 1, 40}});

    QEventLoop loop;
    QObject::connect(&live, &LiveServer::polled, &loop, &QEventLoop::quit);
    QTimer::singleShot(10s, &loop, &QEventLoop::quit);
    live.PollNow();
    loop.exec();

    const LivePlayersModel& players = live.players();
    ASSERT_EQ(players.rowCount(), 2);
    EXPECT_EQ(players.data(players.index(0, LivePlayersModel::kGuid)),
              QString::fromStdString(kLogGuid + " (log)"));
    EXPECT_EQ(players.data(players.index(1, LivePlayersModel::kGuid)),
              QString::fromStdString(kNewGuid + " (userinfo)"));
    EXPECT_EQ(game.commands(), (std::vector<std::string>{"status", "dumpuser 5"}));
}

// Every GUID answered carries the ban that holds it now, a GUID known
// already included; the states are kept like the rest, until forgotten.
TEST_F(GuidLookup, EveryGuidAnsweredCarriesItsBanUntilTheStatesAreForgotten) {
    ScratchDatabase scratch{TestEngine::Sqlite};
    scratch.Create();
    TempFile log(Connect(3, "192.0.2.7", kLogGuid));
    AppConfig config = ConfigWithLog(log.path());
    config.databasePath = scratch.location();
    lookup_server = config.servers.front();
    BanStates states(scratch.location());
    const BanChange temp = states.TempBan({kLogGuid, "camping", {}, {}}, 60);
    ASSERT_TRUE(temp.state.has_value());
    ServerGuidLookup lookup(config);
    const std::vector<DeferredGuidSource::Question> questions{{3, "192.0.2.7"},
                                                              {5, "192.0.2.9", kNewGuid}};

    auto answers = Ask(lookup, questions);
    ASSERT_TRUE(answers);
    EXPECT_EQ((*answers)[0],
              (KnownGuid{kLogGuid, GuidFrom::Log, "banned until " + temp.state->expiryTime}));
    EXPECT_FALSE((*answers)[1]) << "known, and no ban to add";

    states.Lift(kLogGuid, {});
    states.Ban({kNewGuid, "wallhack", {}, {}});
    states.Close();
    answers = Ask(lookup, questions);
    ASSERT_TRUE(answers);
    EXPECT_EQ((*answers)[0]->ban, "banned until " + temp.state->expiryTime) << "kept a while";

    lookup.ForgetBanStates();
    answers = Ask(lookup, questions);
    ASSERT_TRUE(answers);
    EXPECT_EQ((*answers)[0], (KnownGuid{kLogGuid, GuidFrom::Log, ""}));
    EXPECT_EQ((*answers)[1], (KnownGuid{kNewGuid, GuidFrom::None, "banned"}));
}

} // namespace
