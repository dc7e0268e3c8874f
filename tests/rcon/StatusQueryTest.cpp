#include "StatusQuery.h"

#include "FakeGameServer.h"
#include "TestApplication.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>

namespace {

const std::string kLogGuid = "11111111111111111111111111111111";
const std::string kInfoGuid = "ABCDEFABCDEFABCDEFABCDEFABCDEF01";

// A source that knows the GUIDs of some slots, and counts its questions.
class SlotSource : public GuidSource {
public:
    explicit SlotSource(std::map<int, std::string> guids) : guids_(std::move(guids)) {}
    std::optional<KnownGuid> Find(int slot, std::string_view) override {
        ++asked;
        const auto found = guids_.find(slot);
        if (found == guids_.end()) {
            return std::nullopt;
        }
        return KnownGuid{found->second, GuidFrom::Log};
    }
    int asked = 0;

private:
    std::map<int, std::string> guids_;
};

ServerSnapshot QueryToEnd(const ServerEntry& server, std::vector<GuidSource*> sources,
                          bool askUserinfo = true) {
    RconClient client;
    StatusQuery query(client, server, std::move(sources));
    query.SetAskUserinfo(askUserinfo);
    QEventLoop loop;
    QObject::connect(&query, &StatusQuery::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    query.Start();
    loop.exec();
    return query.snapshot();
}

class Query : public testing::Test {
protected:
    TestApplication app;
    FakeGameServer game{"secret"};
    ServerEntry entry{"Alpha", "127.0.0.1", game.port(), "secret"};
};

TEST_F(Query, GuidsComeFromTheSourcesThenFromTheUserinfoOfThoseLeft) {
    game.SetPlayers({
        {0, "Angelyss", "bot", "", 2, 0},                       // a bot: never asked
        {1, "^1Known", "192.0.2.1:27960", kInfoGuid, 5, 40},    // the source knows him
        {2, "Fresh", "192.0.2.2:27960", kInfoGuid, 1, 60},      // only his userinfo
        {3, "NoGuid", "192.0.2.3:27960", "", 0, 70},            // nobody knows
        {4, "Joining", "192.0.2.4:27960", "not a guid", 0, -1}, // a userinfo without one
    });
    SlotSource log({{1, kLogGuid}});
    const ServerSnapshot snapshot = QueryToEnd(entry, {&log});
    EXPECT_TRUE(snapshot.reachable);
    EXPECT_TRUE(snapshot.ok()) << snapshot.failure;
    EXPECT_EQ(snapshot.map, "oasago2");
    ASSERT_EQ(snapshot.players.size(), 5u);
    const std::vector<KnownGuid> expected = {
        {}, {kLogGuid, GuidFrom::Log}, {kInfoGuid, GuidFrom::Userinfo}, {}, {}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(snapshot.players[i].guid, expected[i]) << i;
    }
    EXPECT_EQ(snapshot.players[4].status.state, PingState::Connecting);
    EXPECT_EQ(log.asked, 5);
    // status, then one dumpuser for each player with an address no source knew.
    EXPECT_EQ(game.commands(),
              (std::vector<std::string>{"status", "dumpuser 2", "dumpuser 3", "dumpuser 4"}));
}

TEST_F(Query, AUserinfoOfAnotherAddressGivesNothing) {
    // The slot changed hands between status and dumpuser.
    game.SetPlayers({{2, "Fresh", "192.0.2.2:27960", kInfoGuid, 1, 60}});
    game.OnRequest([this] {
        if (!game.commands().empty() && game.commands().back() == "status") {
            game.SetPlayers({{2, "Other", "198.51.100.9:27960", kInfoGuid, 0, 60}});
        }
    });
    const ServerSnapshot snapshot = QueryToEnd(entry, {});
    ASSERT_EQ(snapshot.players.size(), 1u);
    EXPECT_EQ(snapshot.players[0].status.name, "Fresh");
    EXPECT_EQ(snapshot.players[0].guid, KnownGuid{});
}

TEST_F(Query, StatusGuidColumnIsTakenWithoutAskingAnyone) {
    game.AnswerWith({FakeGameServer::Answer(
        "map: mp_crash\n"
        "num score ping guid                             name            lastmsg address        "
        "       qport rate\n"
        "--- ----- ---- -------------------------------- --------------- ------- ---------------"
        "------ ----- -----\n"
        "  3    10   40 00112233445566778899aabbccddeeff Some One^7            0 192.0.2.5:28960"
        "       777 25000\n\n")});
    SlotSource log({{3, kLogGuid}});
    const ServerSnapshot snapshot = QueryToEnd(entry, {&log});
    ASSERT_EQ(snapshot.players.size(), 1u);
    EXPECT_EQ(snapshot.players[0].guid,
              (KnownGuid{"00112233445566778899aabbccddeeff", GuidFrom::Status}));
    EXPECT_EQ(log.asked, 0);
    EXPECT_EQ(game.received().size(), 1u);
}

TEST_F(Query, RefusalsAndOtherAnswersAreSaidNotShownAsAnEmptyServer) {
    const struct {
        const char* password; // the server's
        const char* answer;   // when scripted
        bool reachable;
        const char* failure;
    } cases[] = {
        {"other", nullptr, true, "Invalid RCON password"},
        {"", nullptr, true, "No RCON password is set on the server"},
        {"secret", "unknown command: status\n", true, "Bad reply: unknown command: status"},
    };
    for (const auto& c : cases) {
        FakeGameServer server(c.password);
        if (c.answer != nullptr) {
            server.AnswerWith({FakeGameServer::Answer(c.answer)});
        }
        server.SetPlayers({{1, "x", "192.0.2.1:1", kInfoGuid, 0, 1}});
        const ServerSnapshot snapshot =
            QueryToEnd({"Alpha", "127.0.0.1", server.port(), "secret"}, {});
        EXPECT_EQ(snapshot.reachable, c.reachable) << c.failure;
        EXPECT_EQ(snapshot.failure, c.failure);
        EXPECT_TRUE(snapshot.players.empty());
        EXPECT_EQ(server.received().size(), 1u) << "no userinfo is asked of a refusing server";
    }
}

} // namespace
