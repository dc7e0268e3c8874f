#include "ClassifiedLog.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string kRecognitionGuid(kGuidA);

// Slot 2 holds ^1Bob of team 1 on connection A; slot 4 holds Zed of team 0
// with no connection line.
const std::vector<std::string> kPlayers = {
    EventLine("ClientConnect: 2 - 10.0.0.2:20100 [" + kRecognitionGuid + "]"),
    EventLine(R"(ClientUserinfoChanged: 2 n\^1Bob\t\1\model\x)"),
    EventLine(R"(ClientUserinfoChanged: 4 n\Zed\t\0\model\x)"),
};

struct HandlerCase {
    const char* name;
    std::string line;
    std::vector<SegmentText> segments;
};

void PrintTo(const HandlerCase& c, std::ostream* os) {
    *os << c.name;
}

class Handlers : public testing::TestWithParam<HandlerCase> {};

TEST_P(Handlers, CutTheLineIntoSegments) {
    std::vector<std::string> lines = kPlayers;
    lines.push_back(GetParam().line);
    ClassifiedLog log(lines);
    log.Walk();
    EXPECT_EQ(SegmentTexts(log.Last()), GetParam().segments);
}

INSTANTIATE_TEST_SUITE_P(
    Events, Handlers,
    testing::Values(
        HandlerCase{"Connect",
                    EventLine("ClientConnect: 3 - 192.168.1.7:20100 [" + kRecognitionGuid + "] x"),
                    {{2, "ClientConnect"}, {10, "3"}, {11, "192.168.1.7"}, {12, kRecognitionGuid}}},
        HandlerCase{"ConnectAddressRunsToTheLastColon",
                    EventLine("ClientConnect: 3 - ::1:2:20100 [" + kRecognitionGuid + "]"),
                    {{2, "ClientConnect"}, {10, "3"}, {11, "::1:2"}, {12, kRecognitionGuid}}},
        HandlerCase{"ConnectSmallLetterGuid",
                    EventLine("ClientConnect: 3 - 1.2.3.4:5 [0123456789abcdef0123456789abcdef]"),
                    {{0, "ClientConnect"}}},
        HandlerCase{"ConnectSlot64",
                    EventLine("ClientConnect: 64 - 1.2.3.4:5 [" + kRecognitionGuid + "]"),
                    {{0, "ClientConnect"}}},
        HandlerCase{"ConnectHugeSlot",
                    EventLine("ClientConnect: 99999999999999999999999 - 1.2.3.4:5 [" +
                              kRecognitionGuid + "]"),
                    {{0, "ClientConnect"}}},
        HandlerCase{"ConnectNoPort",
                    EventLine("ClientConnect: 3 - 1.2.3.4 [" + kRecognitionGuid + "]"),
                    {{0, "ClientConnect"}}},
        HandlerCase{"UserInfoTeamOne",
                    EventLine(R"(ClientUserinfoChanged: 2 n\^1Al\t\1\m\x)"),
                    {{2, "ClientUserinfoChanged"}, {10, "2"}, {4, "^1Al"}, {13, "1"}}},
        HandlerCase{"UserInfoNameToTheLastTeamField",
                    EventLine(R"(ClientUserinfoChanged: 9 n\a\t\2\b\t\3\c)"),
                    {{2, "ClientUserinfoChanged"}, {10, "9"}, {6, R"(a\t\2\b)"}, {13, "3"}}},
        HandlerCase{"UserInfoTeamDigitNine",
                    EventLine(R"(ClientUserinfoChanged: 9 n\a\t\9\)"),
                    {{2, "ClientUserinfoChanged"}, {10, "9"}, {12, "a"}, {13, "9"}}},
        HandlerCase{"UserInfoSlot64",
                    EventLine(R"(ClientUserinfoChanged: 64 n\a\t\1\m)"),
                    {{0, "ClientUserinfoChanged"}}},
        HandlerCase{"UserInfoNoTeam",
                    EventLine(R"(ClientUserinfoChanged: 2 n\a\model\x)"),
                    {{0, "ClientUserinfoChanged"}}},
        HandlerCase{"Kill",
                    EventLine("Kill: 2 4 7: ^1Bob killed Zed by MOD_KNIFE"),
                    {{2, "Kill"},
                     {10, "2"},
                     {10, "4"},
                     {14, "7"},
                     {4, "^1Bob"},
                     {3, "Zed"},
                     {14, "MOD_KNIFE"}}},
        HandlerCase{"KillByTheWorld",
                    EventLine("Kill: 1022 2 6: <world> killed ^1Bob by FALL"),
                    {{2, "Kill"},
                     {10, "1022"},
                     {10, "2"},
                     {14, "6"},
                     {3, "<world>"},
                     {4, "^1Bob"},
                     {14, "FALL"}}},
        HandlerCase{"KillNamesAreGreedy",
                    EventLine("Kill: 1 2 3: a killed b killed c by d by e"),
                    {{2, "Kill"},
                     {10, "1"},
                     {10, "2"},
                     {14, "3"},
                     {3, "a killed b"},
                     {4, "c by d"},
                     {14, "e"}}},
        HandlerCase{"KillWithoutBy", EventLine("Kill: 1 2 3: a killed b"), {{0, "Kill"}}},
        HandlerCase{"Say",
                    EventLine("say: ^1Bob: hello ^3there"),
                    {{2, "say"}, {4, "^1Bob"}, {15, "hello ^3there"}}},
        HandlerCase{
            "SayPrefixOfAName", EventLine("say: ^1B: hi"), {{2, "say"}, {4, "^1B"}, {15, "hi"}}},
        HandlerCase{"SayUnknownName",
                    EventLine("say: Nobody: hi"),
                    {{2, "say"}, {0, "Nobody"}, {15, "hi"}}},
        HandlerCase{"SayEmptyMessage", EventLine("say: Zed: "), {{2, "say"}, {3, "Zed"}, {15, ""}}},
        HandlerCase{"SayNoSeparator", EventLine("say: Zed:hi"), {{0, "say"}}},
        HandlerCase{
            "SayTeam", EventLine("sayteam: Zed: go"), {{2, "sayteam"}, {3, "Zed"}, {16, "go"}}},
        HandlerCase{"Tell",
                    EventLine("tell: ^1Bob to Nobody: psst: x"),
                    {{2, "tell"}, {4, "^1Bob"}, {0, "Nobody"}, {17, "psst: x"}}},
        HandlerCase{"TellWithoutTo", EventLine("tell: ^1Bob: psst"), {{0, "tell"}}},
        HandlerCase{"TellToAfterTheMessage", EventLine("tell: ^1Bob: talk to me"), {{0, "tell"}}},
        HandlerCase{"TellEmptyReceiver",
                    EventLine("tell: Zed to : x"),
                    {{2, "tell"}, {3, "Zed"}, {3, ""}, {17, "x"}}},
        HandlerCase{"AdminChat",
                    EventLine("admchat: ^1Bob: hi"),
                    {{2, "admchat"}, {7, "^1Bob"}, {18, "hi"}}},
        HandlerCase{"AdminTalk",
                    EventLine("admtalk: Nobody: hi"),
                    {{2, "admtalk"}, {0, "Nobody"}, {18, "hi"}}},
        HandlerCase{"AdminTell",
                    EventLine("admtell: ^1Bob to Zed: hi"),
                    {{2, "admtell"}, {9, "^1Bob"}, {9, "Zed"}, {20, "hi"}}},
        HandlerCase{
            "AdminTellToAfterTheMessage", EventLine("admtell: Zed: go to x"), {{0, "admtell"}}},
        // Keywords agree with the first word they are the beginning of.
        HandlerCase{"KeywordKil",
                    EventLine("Kil: 2 4 7: a killed b by c"),
                    {{2, "Kil"}, {10, "2"}, {10, "4"}, {14, "7"}, {4, "a"}, {3, "b"}, {14, "c"}}},
        HandlerCase{"KeywordS", EventLine("s: Zed: x"), {{2, "s"}, {3, "Zed"}, {15, "x"}}},
        HandlerCase{"KeywordSayt", EventLine("sayt: Zed: x"), {{2, "sayt"}, {3, "Zed"}, {16, "x"}}},
        HandlerCase{"KeywordA", EventLine("a: Zed: x"), {{2, "a"}, {7, "Zed"}, {18, "x"}}},
        HandlerCase{"KeywordAdmt", EventLine("admt: Zed: x"), {{2, "admt"}, {7, "Zed"}, {18, "x"}}},
        HandlerCase{"KeywordAdmte",
                    EventLine("admte: Zed to Zed: x"),
                    {{2, "admte"}, {9, "Zed"}, {9, "Zed"}, {20, "x"}}},
        HandlerCase{"KeywordClientU",
                    EventLine(R"(ClientU: 4 n\Zed\t\0\)"),
                    {{2, "ClientU"}, {10, "4"}, {3, "Zed"}, {13, "0"}}},
        HandlerCase{"EmptyKeywordGoesToClientConnect", EventLine(": 3 - a:b c"), {{0, ""}}},
        HandlerCase{"KeywordCaseMatters", EventLine("Say: Zed: x"), {{2, "Say"}}},
        HandlerCase{"KeywordLongerThanTheWord",
                    EventLine("Killed: 2 4 7: a killed b by c"),
                    {{2, "Killed"}}},
        HandlerCase{"UnknownKeyword", EventLine(R"(InitGame: \sv_hostname\x)"), {{2, "InitGame"}}},
        HandlerCase{"NoColon", EventLine("ShutdownGame"), {{1, EventLine("ShutdownGame")}}},
        HandlerCase{"PrefixIsNeverRead", "say: Zed: hello", {{0, ""}}},
        HandlerCase{"PayloadPastTheEnd", EventLine("say:"), {{0, "say"}}},
        HandlerCase{"TenBytes", EventLine("s:"), {{0, "s"}}},
        HandlerCase{"NineBytes", EventLine(":"), {{1, EventLine(":")}}}),
    [](const testing::TestParamInfo<HandlerCase>& info) { return info.param.name; });

TEST(Recognition, LinesOf255BytesAreEventsAndOf256BytesPlain) {
    const std::string say = EventLine("say: Zed: ");
    const std::string longest = say + std::string(255 - say.size(), 'm');
    const std::string tooLong = say + std::string(256 - say.size(), 'm');
    ClassifiedLog log({EventLine(R"(ClientUserinfoChanged: 4 n\Zed\t\0\)"), longest, tooLong});
    log.Walk();
    EXPECT_EQ(SegmentTexts(log.Line(1)),
              (std::vector<SegmentText>{
                  {2, "say"}, {3, "Zed"}, {15, std::string(255 - say.size(), 'm')}}));
    EXPECT_EQ(SegmentTexts(log.Line(2)), (std::vector<SegmentText>{{1, tooLong}}));
}

TEST(Recognition, LinesLongerThanTheSegmentFieldsAreClamped) {
    const std::string huge(5000, 'x');
    ClassifiedLog log({huge});
    log.Walk();
    const LineView& line = log.Line(0);
    ASSERT_EQ(SegmentCount(line), 1);
    EXPECT_EQ(KindNumber(line.segments[0].kind()), 1);
    EXPECT_EQ(line.segments[0].length(), 4095);
    EXPECT_EQ(line.visibleLength, 5000);
}

TEST(Recognition, PlayerNamesLinkTheSlotsLatestConnection) {
    std::vector<std::string> lines = kPlayers;
    lines.push_back(EventLine("Kill: 2 4 7: ^1Bob killed Zed by MOD_KNIFE"));
    lines.push_back(EventLine("say: ^1Bob: hi"));
    lines.push_back(EventLine("ClientConnect: 2 - 10.0.0.9:1 [" + std::string(kGuidB) + "]"));
    lines.push_back(EventLine("tell: ^1Bob to Zed: x"));
    ClassifiedLog log(lines);
    log.Walk();
    const ConnectionRecord* first = log.Line(1).segments[2].player;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Guid(), kGuidA);
    EXPECT_EQ(first->address.view(), "10.0.0.2");
    EXPECT_EQ(log.Line(2).segments[2].player, nullptr); // slot 4 never connected

    const LineView& kill = log.Line(3);
    EXPECT_EQ(kill.segments[4].player, first);
    EXPECT_EQ(kill.segments[5].player, nullptr);
    for (int s : {0, 1, 2, 3, 6, 7}) {
        EXPECT_EQ(kill.segments[static_cast<std::size_t>(s)].player, nullptr) << s;
    }
    EXPECT_EQ(log.Line(4).segments[1].player, first);
    EXPECT_EQ(log.Line(4).segments[2].player, nullptr); // a message links nobody

    const LineView& tell = log.Line(6);
    ASSERT_NE(tell.segments[1].player, nullptr);
    EXPECT_EQ(tell.segments[1].player->Guid(), kGuidB);
    EXPECT_EQ(tell.segments[1].player->address.view(), "10.0.0.9");
    EXPECT_EQ(tell.segments[2].player, nullptr);
}

TEST(Recognition, VisiblePositionsFollowTheMeasuredKinds) {
    // Team 0 names and chat messages are measured; the team-1 name is not.
    ClassifiedLog log({EventLine(R"(ClientUserinfoChanged: 0 n\^1A^^b^\t\0\x)"),
                       EventLine(R"(ClientUserinfoChanged: 1 n\^1A^^b^\t\1\x)"),
                       EventLine("say: ^1A^^b^: ^2hi^")});
    log.Walk();
    const LineView& teamZero = log.Line(0);
    EXPECT_EQ(teamZero.segments[2].visibleLength(), 3); // A ^ b
    EXPECT_EQ(teamZero.segments[3].visibleStart(), teamZero.segments[3].start() - 4);
    EXPECT_EQ(teamZero.visibleLength, teamZero.byteLength - 4);

    const LineView& teamOne = log.Line(1);
    EXPECT_EQ(teamOne.segments[2].visibleLength(), 7);
    EXPECT_EQ(teamOne.visibleLength, teamOne.byteLength);

    const LineView& say = log.Line(2); // the name resolves to slot 0, team 0
    EXPECT_EQ(SegmentTexts(say),
              (std::vector<SegmentText>{{2, "say"}, {3, "^1A^^b^"}, {15, "^2hi^"}}));
    EXPECT_EQ(say.segments[1].visibleStart(), 13);
    EXPECT_EQ(say.segments[2].visibleStart(), say.segments[2].start() - 4);
    EXPECT_EQ(say.segments[2].visibleLength(), 2);
    EXPECT_EQ(say.visibleLength, say.byteLength - 4 - 3);
}

TEST(Recognition, UserInfoRecordsAliasesOnlyForConnectedSlots) {
    ClassifiedLog log({EventLine(R"(ClientUserinfoChanged: 7 n\Ghost\t\2\)"),
                       EventLine("ClientConnect: 7 - 1.2.3.4:5 [" + kRecognitionGuid + "]"),
                       EventLine(R"(ClientUserinfoChanged: 7 n\^2Ghost\t\2\)"),
                       EventLine(R"(ClientUserinfoChanged: 7 n\^2Ghost\t\3\)")});
    log.Walk();
    const PlayerSlot& slot = log.model.playerSlots().Slot(7);
    EXPECT_EQ(slot.name.view(), "^2Ghost");
    EXPECT_EQ(slot.team, 3);
    const auto* aliases = log.model.guidTable().Aliases(kRecognitionGuid);
    ASSERT_NE(aliases, nullptr);
    std::vector<std::string> names;
    for (const AliasName& alias : *aliases) {
        names.emplace_back(alias.name.view());
    }
    EXPECT_EQ(names, std::vector<std::string>{"^2Ghost"});
}

TEST(Recognition, UnparsedPayloadsLeaveTheTablesAlone) {
    ClassifiedLog log({EventLine(R"(ClientUserinfoChanged: 64 n\Far\t\1\)"),
                       EventLine("ClientConnect: 64 - 1.2.3.4:5 [" + kRecognitionGuid + "]"),
                       EventLine("ClientConnect: 1 - 1.2.3.4:5 [" + kRecognitionGuid + "z]")});
    log.Walk();
    EXPECT_EQ(log.model.playerSlots().connectionCount(), 0);
    EXPECT_FALSE(log.model.playerSlots().FindByName("Far").has_value());
}

TEST(Recognition, LongTextIsCutInTheTablesButNotInTheLine) {
    const std::string address = "1234567890.1234567890"; // 21 bytes
    const std::string name(70, 'N');
    ClassifiedLog log({EventLine("ClientConnect: 5 - " + address + ":1 [" + kRecognitionGuid + "]"),
                       EventLine("ClientUserinfoChanged: 5 n\\" + name + "\\t\\0\\")});
    log.Walk();
    EXPECT_EQ(SegmentTexts(log.Line(0))[2], (SegmentText{11, address}));
    EXPECT_EQ(SegmentTexts(log.Line(1))[2], (SegmentText{3, name}));
    const PlayerSlot& slot = log.model.playerSlots().Slot(5);
    EXPECT_EQ(slot.connection->address.view(), address.substr(0, 15));
    EXPECT_EQ(slot.name.view(), name.substr(0, 49));
    EXPECT_EQ(log.model.guidTable().Aliases(kRecognitionGuid)->front().name.view(),
              name.substr(0, 63));
}

// --- Time stamps of other widths ---------------------------------------------

struct StampCase {
    const char* name;
    std::string line;
    int width;
};

void PrintTo(const StampCase& c, std::ostream* os) {
    *os << c.name;
}

class StampWidth : public testing::TestWithParam<StampCase> {};

TEST_P(StampWidth, IsWhereTheEventTextBegins) {
    EXPECT_EQ(TimeStampWidth(GetParam().line), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(
    Stamps, StampWidth,
    testing::Values(StampCase{"EightBytes", "   0:13 Kill:", 8},
                    StampCase{"EightWithTwoDigitMinutes", "  12:34 say:", 8},
                    StampCase{"SevenBytes", "  0:13 Kill:", 7},
                    StampCase{"SevenWithThreeDigitMinutes", "100:00 x", 7},
                    StampCase{"NoBlankAfter", "  0:13Kill", 0},
                    StampCase{"OneDigitOfSeconds", "  0:1 Kill", 0},
                    StampCase{"NoMinutes", "  :13 Kill", 0}, StampCase{"TextFirst", "ab 0:13 ", 0},
                    StampCase{"EndsAfterTheSeconds", "  0:13", 0}, StampCase{"Empty", "", 0}),
    [](const testing::TestParamInfo<StampCase>& info) { return info.param.name; });

TEST(Recognition, ALogWithSevenByteStampsIsCutAfterThem) {
    ClassifiedLog log({"  0:00 InitGame: \\sv_hostname\\x",
                       "  0:13 ClientUserinfoChanged: 2 n\\^1Bob\\t\\1\\model\\x",
                       "  0:14 Kill: 1 2 3: ^1Bob killed Zed by MOD_GAUNTLET",
                       "  0:15 say: ^1Bob: gg",
                       // ioquake3 names only the slot: the keyword does not parse
                       "  0:16 ClientConnect: 2"});
    log.Walk();
    EXPECT_EQ(log.model.eventTextOffset(), 7);
    EXPECT_EQ(SegmentTexts(log.Line(0))[0], (SegmentText{2, "InitGame"}));
    EXPECT_EQ(SegmentTexts(log.Line(1)),
              (std::vector<SegmentText>{
                  {2, "ClientUserinfoChanged"}, {10, "2"}, {4, "^1Bob"}, {13, "1"}}));
    EXPECT_EQ(SegmentCount(log.Line(2)), 7);
    EXPECT_EQ(SegmentTexts(log.Line(2))[4], (SegmentText{3, "^1Bob"}));
    EXPECT_EQ(SegmentTexts(log.Line(3)),
              (std::vector<SegmentText>{{2, "say"}, {4, "^1Bob"}, {15, "gg"}}));
    EXPECT_EQ(SegmentTexts(log.Line(4)), (std::vector<SegmentText>{{0, "ClientConnect"}}));
}

TEST(Recognition, EightByteStampsWinATie) {
    ClassifiedLog log({"  0:13 say: a: b", EventLine("say: a: b"), "no stamp at all"});
    log.Walk();
    EXPECT_EQ(log.model.eventTextOffset(), 8);
}

} // namespace
