#include "ServerStatus.h"

#include "ClientReply.h"
#include "FakeGameServer.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

// Found by the test framework next to the type.
inline void PrintTo(const StatusPlayer& p, std::ostream* os) {
    *os << "{" << p.slot << " " << p.score << " " << p.ping << "/" << static_cast<int>(p.state)
        << " [" << p.name << "] " << p.address << " " << p.guid << "}";
}

namespace {

using Layout = FakeGameServer::Layout;

TEST(ServerStatus, ReadsTheAnswerOfARealServer) {
    // openarena-server 0.8.8 with a bot, as it answered.
    const std::string text =
        "map: oasago2\n"
        "cl score ping name            address                                 rate \n"
        "-- ----- ---- --------------- --------------------------------------- -----\n"
        " 0     2    0 Angelyss        ^7bot                                     16384\n"
        "\n";
    const ServerStatus status = ParseStatus(text);
    EXPECT_TRUE(status.recognised);
    EXPECT_EQ(status.map, "oasago2");
    ASSERT_EQ(status.players.size(), 1u);
    EXPECT_EQ(status.players[0],
              (StatusPlayer{0, 2, 0, PingState::Playing, "Angelyss", "bot", "", 16384}));
    EXPECT_TRUE(IsWholeStatus(text));
    EXPECT_FALSE(IsWholeStatus(text.substr(0, text.size() - 1)));
    EXPECT_EQ(AddressIp("bot"), "");
}

// Every kind of player, in both layouts: the fake server prints them as the
// engines do, and the parser must give them back.
const std::vector<FakePlayer> kPlayers = {
    {0, "Angelyss", "bot", "", 2, 0},
    {1, "^1Red ^7Baron", "192.0.2.7:27960", "", -3, 48},
    {2, "Name With Spaces", "198.51.100.20:1024", "", 10, 999},
    {3, "^4A^5B^6Cdefghijklmnopq", "203.0.113.9:27961", "", 0, 120}, // 15+ visible
    {4, "exactly15chars_", "10.0.0.1:5", "", 7, 60},
    {5, "joining", "10.0.0.2:27960", "", 0, -1},
    {6, "leaving", "10.0.0.3:27960", "", 0, -2},
    {7, "^^7caret", "10.0.0.4:27960", "", 1, 20},
    {12, "trailing^7", "loopback", "", 1, 5},
};

std::vector<StatusPlayer> Expected(const std::vector<FakePlayer>& players) {
    std::vector<StatusPlayer> expected;
    for (const FakePlayer& p : players) {
        StatusPlayer s;
        s.slot = p.slot;
        s.score = p.score;
        s.state = p.ping == -1   ? PingState::Connecting
                  : p.ping == -2 ? PingState::Zombie
                                 : PingState::Playing;
        s.ping = p.ping < 0 ? 0 : p.ping;
        s.name = p.name == "trailing^7" ? "trailing" : p.name; // the reset is the padding's
        s.address = p.address;
        s.rate = 25000;
        expected.push_back(s);
    }
    return expected;
}

class BothLayouts : public testing::TestWithParam<Layout> {
protected:
    TestApplication app;
};

TEST_P(BothLayouts, GiveBackEveryPlayer) {
    FakeGameServer server("x");
    server.SetLayout(GetParam());
    server.SetMap("mp_carentan");
    server.SetPlayers(kPlayers);
    const std::string text = server.StatusText();
    const ServerStatus status = ParseStatus(text);
    EXPECT_TRUE(status.recognised);
    EXPECT_EQ(status.map, "mp_carentan");
    EXPECT_EQ(status.players, Expected(kPlayers)) << text;
    EXPECT_TRUE(IsWholeStatus(text));
}

TEST_P(BothLayouts, SixtyFourPlayersOverSeveralDatagrams) {
    FakeGameServer server("secret");
    server.SetLayout(GetParam());
    std::vector<FakePlayer> players;
    for (int slot = 0; slot < 64; ++slot) {
        players.push_back(
            {slot, "^" + std::to_string(slot % 10) + "Player number " + std::to_string(slot),
             "192.0.2." + std::to_string(slot) + ":27960", "", slot, slot * 3});
    }
    server.SetPlayers(players);
    server.AnswerInPiecesOf(1000); // lines are cut where a piece ends
    RconClient client;
    RconTiming timing;
    timing.whole = IsWholeStatus;
    const auto reply =
        AskAndWait(client, {"S", "127.0.0.1", server.port(), "secret"}, "status", timing);
    ASSERT_TRUE(reply);
    EXPECT_GT(reply->datagrams, 4);
    const ServerStatus status = ParseStatus(reply->text);
    EXPECT_EQ(status.players, Expected(players));
}

INSTANTIATE_TEST_SUITE_P(Layouts, BothLayouts, testing::Values(Layout::IoQuake3, Layout::Original),
                         [](const auto& info) {
                             return info.param == Layout::IoQuake3 ? "IoQuake3" : "Original";
                         });

TEST(ServerStatus, HeaderWithAGuidColumnAndOddLinesAreRead) {
    const ServerStatus status = ParseStatus(
        "map: mp_crash\n"
        "num score ping guid                             name            lastmsg address        "
        "       qport rate\n"
        "--- ----- ---- -------------------------------- --------------- ------- ---------------"
        "------ ----- -----\n"
        "  3    10   40 00112233445566778899aabbccddeeff Some One^7            0 192.0.2.5:28960"
        "       777 25000\n"
        "  x garbage line\n"
        "  4     0 CNCT 0123456789abcdef0123456789abcdef n                    50 192.0.2.6:28960"
        "       778 25000\n");
    ASSERT_EQ(status.players.size(), 2u);
    EXPECT_EQ(status.players[0].guid, "00112233445566778899aabbccddeeff");
    EXPECT_EQ(status.players[0].name, "Some One");
    EXPECT_EQ(status.players[1].state, PingState::Connecting);
    EXPECT_EQ(AddressIp(status.players[1].address), "192.0.2.6");
}

TEST(ServerStatus, AnythingElseIsNoStatus) {
    for (const char* text : {"", "Bad rconpassword.\n", "map: x\n", "unknown command: status\n",
                             "name score ping\n 0 1 2 x\n"}) {
        const ServerStatus status = ParseStatus(text);
        EXPECT_FALSE(status.recognised) << text;
        EXPECT_TRUE(status.players.empty());
        EXPECT_FALSE(IsWholeStatus(text));
    }
}

} // namespace
