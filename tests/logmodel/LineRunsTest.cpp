#include "LineRuns.h"

#include "CaretColourTable.h"
#include "HandLog.h"
#include "KindTables.h"
#include "VisibleText.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct RunText {
    int start;
    int length;
    int kind;
    bool operator==(const RunText&) const = default;
};

void PrintTo(const RunText& r, std::ostream* os) {
    *os << "[" << r.start << "+" << r.length << " k" << r.kind << "]";
}

std::vector<RunText> RunsOf(const LineView& line) {
    std::vector<RunText> runs;
    for (const LineRun& run : LineRuns(line)) {
        runs.push_back({run.start, run.length, KindNumber(run.kind)});
    }
    return runs;
}

struct RunsCase {
    const char* name;
    std::string line;
    std::vector<HandLog::Segment> segments;
    std::vector<RunText> runs;
};

void PrintTo(const RunsCase& c, std::ostream* os) {
    *os << c.name;
}

class LineRunsTest : public testing::TestWithParam<RunsCase> {};

TEST_P(LineRunsTest, CutsTheLine) {
    HandLog log(GetParam().line + "\n");
    log.Lay(0, GetParam().segments);
    EXPECT_EQ(RunsOf(log.Line(0)), GetParam().runs);
}

std::vector<HandLog::Segment> EightSegments() {
    std::vector<HandLog::Segment> segments;
    for (int i = 0; i < 8; ++i) {
        segments.push_back({2 + 4 * i, 2, 2 + i});
    }
    return segments;
}

std::vector<RunText> SeventeenRuns() {
    std::vector<RunText> runs;
    for (int i = 0; i < 8; ++i) {
        runs.push_back({4 * i, 2, 1});
        runs.push_back({2 + 4 * i, 2, 2 + i});
    }
    runs.push_back({32, 8, 1});
    return runs;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, LineRunsTest,
    testing::Values(
        RunsCase{"NoSegmentsIsOneTail", "plain text", {}, {{0, 10, 1}}},
        RunsCase{"EmptyLineHasNoRuns", "", {}, {}},
        RunsCase{"GapsAndTail",
                 "  1:23 Kill: 1 2 3: ^1Bob killed x",
                 {{7, 4, 2}, {20, 5, 3}},
                 {{0, 7, 1}, {7, 4, 2}, {11, 9, 1}, {20, 5, 3}, {25, 9, 1}}},
        RunsCase{"SegmentAtTheStartAndTheEnd",
                 "abcdef",
                 {{0, 2, 2}, {2, 4, 15}},
                 {{0, 2, 2}, {2, 4, 15}}},
        RunsCase{"AdjacentSegmentsLeaveNoGap",
                 "abcdef",
                 {{1, 2, 10}, {3, 2, 11}},
                 {{0, 1, 1}, {1, 2, 10}, {3, 2, 11}, {5, 1, 1}}},
        RunsCase{"EightSegmentsMakeSeventeenRuns", std::string(40, 'x'), EightSegments(),
                 SeventeenRuns()},
        RunsCase{"TailOfALongLine",
                 std::string(5000, 'x'),
                 {{10, 4000, 17}},
                 {{0, 10, 1}, {10, 4000, 17}, {4010, 990, 1}}},
        RunsCase{"SegmentPastTheLineEndIsCut", "abcdef", {{4, 10, 3}}, {{0, 4, 1}, {4, 2, 3}}},
        RunsCase{"SegmentBeyondTheLineIsNotDrawn", "abc", {{5, 2, 3}}, {{0, 3, 1}}}),
    [](const testing::TestParamInfo<RunsCase>& info) { return info.param.name; });

TEST(LineRuns, CaretColouredKinds) {
    std::vector<int> coloured;
    for (int kind = 0; kind <= kLastKind; ++kind) {
        if (IsCaretColouredRun(LineRun{0, 1, static_cast<LineKind>(kind)})) {
            coloured.push_back(kind);
        }
    }
    EXPECT_EQ(coloured, (std::vector<int>{3, 6, 7, 8, 9, 15, 16, 17, 18, 19, 20}));
}

TEST(CaretColourTable, CodeBytes) {
    const CaretColourTable table;
    const std::vector<std::pair<unsigned, Rgb>> expected = {
        {0x00, 0xFFFFFF}, {0x1F, 0xFFFFFF}, {0x20, 0xFFFFFF}, {0x21, 0x404040}, {'0', 0x404040},
        {'1', 0xFF1919},  {'2', 0xA9C274},  {'3', 0xFFFF00},  {'4', 0x4C4CFF},  {'5', 0x00FFFF},
        {'6', 0xFF00FF},  {'7', 0xFFFFFF},  {'8', 0x7A00D8},  {'9', 0x3CDCB5},  {'A', 0x4B00F3},
        {'a', 0x00F3B5},  {0x7E, 0x7A284E}, {0x7F, 0xFFFFFF}, {0x80, 0xFFFFFF}, {0xFF, 0xFFFFFF},
        {0x78, 0x000D29}, {0x4F, 0xB5BDF2}};
    for (const auto& [code, colour] : expected) {
        EXPECT_EQ(table.Colour(static_cast<unsigned char>(code)), colour) << "code " << code;
    }
}

TEST(CaretColourTable, HighBytesUseTheLastEntry) {
    const CaretColourTable table;
    for (unsigned code = 0x80; code <= 0xFF; ++code) {
        EXPECT_EQ(table.Colour(static_cast<unsigned char>(code)), table.Colour('\x7f'));
    }
    EXPECT_EQ(table.Colour('\xe9'), 0xFFFFFFu);
}

TEST(KindTables, ColoursFontsAndStyles) {
    const KindTables tables = MakeKindTables(CaretColourTable());
    const std::vector<Rgb> colours = {0xC000C0, 0xC4C4FF, 0xFFFFFF, 0xFFFFFF, 0xFF1919, 0x4C4CFF,
                                      0xFFFFFF, 0xFF00FF, 0xFF00FF, 0xFF00FF, 0x008080, 0x008080,
                                      0xFF8080, 0x008080, 0x008080, 0xA9C274, 0xA9C274, 0xA9C274,
                                      0xA9C274, 0xA9C274, 0xA9C274};
    for (int kind = 0; kind <= kLastKind; ++kind) {
        const auto k = static_cast<std::size_t>(kind);
        const bool bold = kind == 0 || (kind >= 2 && kind <= 14);
        EXPECT_EQ(tables.kindColour[k], colours[k]) << "kind " << kind;
        EXPECT_EQ(tables.kindFont[k], bold ? KindFont::Bold : KindFont::Normal) << "kind " << kind;
        EXPECT_EQ(tables.kindStyle[k], bold ? kStyleBold : 0u) << "kind " << kind;
    }
}

struct VisibleCase {
    const char* name;
    std::string raw;
    std::string visible;
};

void PrintTo(const VisibleCase& c, std::ostream* os) {
    *os << c.name;
}

class VisibleTextTest : public testing::TestWithParam<VisibleCase> {};

TEST_P(VisibleTextTest, HidesEveryCode) {
    std::string buffer = "left over from a longer line";
    EXPECT_EQ(CopyVisibleText(GetParam().raw, buffer), GetParam().visible);
    EXPECT_EQ(IsFreeOfCarets(GetParam().raw), GetParam().raw.find('^') == std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Visible, VisibleTextTest,
    testing::Values(VisibleCase{"Plain", "abc", "abc"}, VisibleCase{"Empty", "", ""},
                    VisibleCase{"Code", "a^1bc", "abc"}, VisibleCase{"Doubled", "a^^b", "a^b"},
                    VisibleCase{"Trailing", "abc^", "abc"},
                    VisibleCase{"DoubledThenCode", "^^^1x", "^x"},
                    VisibleCase{"CodeOfACaretByte", "^^^^", "^^"},
                    VisibleCase{"HighCodeByte", "^\xe9x\xe9", "x\xe9"},
                    VisibleCase{"OnlyCodes", "^1^2^3", ""}),
    [](const testing::TestParamInfo<VisibleCase>& info) { return info.param.name; });

} // namespace
