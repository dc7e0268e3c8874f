// The game clock at the start of a line, the time a user types, and the
// line where the log's clock reaches it.
#include "LogTimeStamp.h"

#include "HandLog.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

struct StampCase {
    const char* name;
    const char* text;
    std::optional<int> seconds;
};

void PrintTo(const StampCase& c, std::ostream* os) {
    *os << c.name;
}

class LineTimeStampTest : public ::testing::TestWithParam<StampCase> {};

TEST_P(LineTimeStampTest, ReadsTheClock) {
    EXPECT_EQ(LineTimeStamp(GetParam().text), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineTimeStampTest,
    ::testing::Values(StampCase{"EightWide", "  12:34 say: Bob: hi", 12 * 60 + 34},
                      StampCase{"SevenWide", "  0:13 ClientConnect: 0", 13},
                      StampCase{"ThreeDigitMinutes", " 123:45 Kill: 1 2 3", 123 * 60 + 45},
                      StampCase{"FourDigitMinutes", "1234:00 x", 1234 * 60},
                      StampCase{"StampAlone", "   0:05", 5},
                      StampCase{"NoStamp", "------------------------", std::nullopt},
                      StampCase{"Empty", "", std::nullopt},
                      StampCase{"SecondsPastFiftyNine", "   1:60 x", std::nullopt},
                      StampCase{"OneSecondDigit", "   1:5 x", std::nullopt},
                      StampCase{"NoBlankAfter", "   1:05x", std::nullopt},
                      StampCase{"TooManyBlanks", "         1:05 x", std::nullopt},
                      StampCase{"FiveDigitMinutes", "12345:00 x", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

class ParseTimeTest : public ::testing::TestWithParam<StampCase> {};

TEST_P(ParseTimeTest, ReadsWhatTheUserTyped) {
    EXPECT_EQ(ParseTimeOfLog(GetParam().text), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(Typed, ParseTimeTest,
                         ::testing::Values(StampCase{"MinutesAndSeconds", "12:34", 754},
                                           StampCase{"WithBlanks", " 3:07 ", 187},
                                           StampCase{"ALineNumber", "42", std::nullopt},
                                           StampCase{"TrailingText", "3:07 pm", std::nullopt},
                                           StampCase{"NoMinutes", ":07", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatTimeOfLog, MinutesAndTwoDigitsOfSeconds) {
    EXPECT_EQ(FormatTimeOfLog(754), "12:34");
    EXPECT_EQ(FormatTimeOfLog(5), "0:05");
}

// Two maps: the clock runs 0:00 .. 5:00, then starts again.
const std::string kTwoMaps = "  0:00 InitGame: a\n"   // 0
                             "  1:00 say: A: x\n"     // 1
                             "--------------------\n" // 2, no stamp
                             "  3:00 say: A: y\n"     // 3
                             "  5:00 ShutdownGame:\n" // 4
                             "  0:00 InitGame: b\n"   // 5
                             "  2:30 say: B: x\n"     // 6
                             "  4:00 say: B: y\n";    // 7

struct FindCase {
    const char* name;
    int caret;
    const char* time;
    std::optional<int> line;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.name;
}

class FindTimeTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTimeTest, FindsWhereTheClockReachesTheTime) {
    const FindCase& c = GetParam();
    HandLog log(kTwoMaps);
    EXPECT_EQ(FindTimeOfLog(log, c.caret, *ParseTimeOfLog(c.time)), c.line);
}

INSTANTIATE_TEST_SUITE_P(Times, FindTimeTest,
                         ::testing::Values(FindCase{"AnExactStamp", 0, "1:00", 1},
                                           FindCase{"BetweenStampsTheNextLine", 0, "2:00", 3},
                                           FindCase{"ZeroIsTheNextMapsStart", 0, "0:00", 5},
                                           FindCase{"LaterInTheSameMap", 6, "3:00", 7},
                                           FindCase{"TheSameTimeInTheNextMap", 1, "1:00", 6},
                                           FindCase{"PastTheCaretsTimeTheNextMap", 3, "2:00", 6},
                                           FindCase{"NothingLaterStartsAgainAtTheTop", 7, "3:00",
                                                    3},
                                           FindCase{"FromTheTopAMapsFirstLine", 7, "0:00", 0},
                                           FindCase{"NeverReached", 2, "9:00", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FindTimeOfLog, AnEmptyLogHasNoTime) {
    HandLog log("");
    EXPECT_EQ(FindTimeOfLog(log, 0, 0), std::nullopt);
}

} // namespace
