#include "LiveServer.h"

#include "FakeGameServer.h"
#include "TestApplication.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const std::string kGuidA = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
const std::string kGuidB = "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB";

// What the model told its views, in order.
struct ModelEvents {
    explicit ModelEvents(const QAbstractItemModel& model) {
        QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex&, int first, int) {
                             said.push_back("insert " + std::to_string(first));
                         });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved,
                         [this](const QModelIndex&, int first, int) {
                             said.push_back("remove " + std::to_string(first));
                         });
        QObject::connect(&model, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& from, const QModelIndex&) {
                             said.push_back("change " + std::to_string(from.row()));
                         });
    }
    std::vector<std::string> said;
};

class Live : public testing::Test {
protected:
    // Polls once and waits for its end.
    void Poll() {
        QEventLoop loop;
        const auto connection =
            QObject::connect(&live, &LiveServer::polled, &loop, &QEventLoop::quit);
        QTimer::singleShot(10s, &loop, &QEventLoop::quit);
        live.PollNow();
        loop.exec();
        QObject::disconnect(connection);
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < live.players().rowCount(); ++row) {
            names.push_back(live.players()
                                .data(live.players().index(row, LivePlayersModel::kName))
                                .toString()
                                .toStdString());
        }
        return names;
    }

    TestApplication app;
    FakeGameServer game{"secret"};
    RconClient client;
    LiveServer live{client, {"Alpha", "127.0.0.1", game.port(), "secret"}};
};

TEST_F(Live, PlayersJoinLeaveAndRenameAcrossPollsInPlace) {
    game.SetMap("mp_carentan");
    game.SetPlayers(
        {{1, "^1One", "192.0.2.1:1", kGuidA, 0, 10}, {4, "Four", "192.0.2.4:1", kGuidB, 0, 10}});
    Poll();
    EXPECT_EQ(Names(), (std::vector<std::string>{"One", "Four"}));
    EXPECT_EQ(live.StateText(*live.lastAnswer() + 3s), "mp_carentan, 2 players, answered 3 s ago");
    EXPECT_EQ(live.players().data(live.players().index(0, LivePlayersModel::kName),
                                  LivePlayersModel::kColouredNameRole),
              "^1One");
    EXPECT_EQ(live.players().data(live.players().index(1, LivePlayersModel::kGuid)),
              QString::fromStdString(kGuidB + " (userinfo)"));

    ModelEvents events(live.players());
    // Two joins around the one who stays, a rename and a score, one leaves.
    game.SetPlayers({{0, "Zero", "192.0.2.9:1", "", 0, -1},
                     {1, "^2Uno", "192.0.2.1:1", kGuidA, 5, 10},
                     {7, "Seven", "bot", "", 0, 0}});
    Poll();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Zero", "Uno", "Seven"}));
    EXPECT_EQ(events.said,
              (std::vector<std::string>{"insert 0", "change 1", "remove 2", "insert 2"}));
    EXPECT_EQ(live.players().data(live.players().index(0, LivePlayersModel::kPing)), "connecting");

    // Nothing changed: nothing said, and the userinfo of a player known from
    // an earlier poll is not asked again.
    events.said.clear();
    const auto asked = game.commands().size();
    Poll();
    EXPECT_TRUE(events.said.empty());
    EXPECT_EQ(game.commands().size(), asked + 2); // status, and Zero's dumpuser again (none)
    EXPECT_EQ(live.players().data(live.players().index(1, LivePlayersModel::kGuid)),
              QString::fromStdString(kGuidA + " (userinfo)"));
}

TEST_F(Live, AServerThatStopsAnsweringKeepsItsLastPlayersAndSaysSo) {
    game.SetPlayers({{2, "Two", "192.0.2.2:1", "", 0, 10}});
    EXPECT_EQ(live.StateText(LiveServer::Clock::now()), "Asking...");
    Poll();
    ASSERT_TRUE(live.lastAnswer());
    const auto answered = *live.lastAnswer();
    game.SetPassword("changed");
    Poll();
    EXPECT_EQ(Names(), std::vector<std::string>{"Two"});
    EXPECT_TRUE(live.last()->reachable);
    EXPECT_EQ(live.StateText(answered + 125s), "Invalid RCON password; last answer 2 min ago");
}

TEST(LiveAge, RoughUnits) {
    EXPECT_EQ(AgeText(0s), "0 s");
    EXPECT_EQ(AgeText(59s), "59 s");
    EXPECT_EQ(AgeText(60s), "1 min");
    EXPECT_EQ(AgeText(3599s), "59 min");
    EXPECT_EQ(AgeText(7200s), "2 h");
    EXPECT_EQ(AgeText(-3s), "0 s");
}

} // namespace
