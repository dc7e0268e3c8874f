#include "ColourCodes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

LineView MakeLine(const std::string& text) {
    LineView line{};
    line.text = text.data();
    line.byteLength = static_cast<int>(text.size());
    line.segments[0].SetEndMark();
    return line;
}

struct MeasureCase {
    const char* name;
    std::string text;
    int kind;
    int visible;
};

void PrintTo(const MeasureCase& c, std::ostream* os) {
    *os << c.name;
}

class CaretMeasure : public testing::TestWithParam<MeasureCase> {};

TEST_P(CaretMeasure, SegmentShowsTheCharactersLeftByTheCaretRules) {
    const MeasureCase& c = GetParam();
    LineSegment segment{};
    SetSegment(segment, 3, static_cast<int>(c.text.size()), static_cast<LineKind>(c.kind),
               c.text.data());
    EXPECT_EQ(KindNumber(segment.kind()), c.kind);
    EXPECT_EQ(segment.start(), 3);
    EXPECT_EQ(segment.length(), static_cast<int>(c.text.size()));
    EXPECT_EQ(segment.visibleLength(), c.visible);
    EXPECT_EQ(segment.visibleStart(), 0);
    EXPECT_EQ(segment.player, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Texts, CaretMeasure,
                         testing::Values(MeasureCase{"CodeHidden", "^1abc", 3, 3},
                                         MeasureCase{"DoubledCaretShowsOne", "a^^b", 3, 3},
                                         MeasureCase{"TrailingCaretShowsNothing", "abc^", 3, 3},
                                         MeasureCase{"DoubledCaretThenCode", "^^^1x", 3, 2},
                                         MeasureCase{"CaretThenHighByte", "^\xe9x", 15, 1},
                                         MeasureCase{"OnlyACaret", "^", 20, 0},
                                         MeasureCase{"Empty", "", 6, 0},
                                         MeasureCase{"EveryMeasuredKind3", "^1a", 3, 1},
                                         MeasureCase{"EveryMeasuredKind6", "^1a", 6, 1},
                                         MeasureCase{"EveryMeasuredKind16", "^1a", 16, 1},
                                         MeasureCase{"EveryMeasuredKind17", "^1a", 17, 1},
                                         MeasureCase{"EveryMeasuredKind18", "^1a", 18, 1},
                                         MeasureCase{"EveryMeasuredKind19", "^1a", 19, 1},
                                         // Drawn with their codes hidden, so measured
                                         // without them too.
                                         MeasureCase{"Kind7Measured", "^1abc", 7, 3},
                                         MeasureCase{"Kind8Measured", "^1abc", 8, 3},
                                         MeasureCase{"Kind9Measured", "^1abc", 9, 3},
                                         // Drawn with their carets as characters.
                                         MeasureCase{"TeamKind4NotMeasured", "^1abc", 4, 5},
                                         MeasureCase{"TeamKind5NotMeasured", "^1abc", 5, 5},
                                         MeasureCase{"PlainNotMeasured", "^1abc", 1, 5}),
                         [](const testing::TestParamInfo<MeasureCase>& info) {
                             return info.param.name;
                         });

TEST(SetSegment, WithoutTextVisibleLengthIsTheByteLength) {
    LineSegment segment{};
    SetSegment(segment, 0, 5, LineKind::Team0Name, nullptr);
    EXPECT_EQ(segment.visibleLength(), 5);
}

TEST(SetSegment, MeasuresOnlyItsOwnBytes) {
    const std::string text = "ab^1cd";
    LineSegment segment{};
    SetSegment(segment, 0, 3, LineKind::Say, text.data()); // "ab^": the caret ends the segment
    EXPECT_EQ(segment.visibleLength(), 2);
}

TEST(SetSegment, ClampsToTheTwelveBitFields) {
    LineSegment segment{};
    SetSegment(segment, 5000, 9000, LineKind::Text, nullptr);
    EXPECT_EQ(KindNumber(segment.kind()), 1);
    EXPECT_EQ(segment.start(), 4095);
    EXPECT_EQ(segment.length(), 4095);
    EXPECT_EQ(segment.visibleLength(), 4095);
}

TEST(ColourKinds, ExactlyTheColouredKindsAreMeasuredWithoutTheirCodes) {
    const std::string code = "^1";
    std::vector<int> measured;
    std::vector<int> coloured;
    for (int kind = 0; kind < 256; ++kind) {
        LineSegment segment{};
        SetSegment(segment, 0, 2, static_cast<LineKind>(kind), code.data());
        if (segment.visibleLength() == 0) {
            measured.push_back(kind);
        }
        if (IsColourCodedKind(segment)) {
            coloured.push_back(kind);
        }
    }
    EXPECT_EQ(coloured, (std::vector<int>{3, 6, 7, 8, 9, 15, 16, 17, 18, 19, 20}));
    EXPECT_EQ(measured, coloured);
}

TEST(ComputeVisiblePositions, StartsMoveLeftByTheCodesBeforeThem) {
    // bytes 8-11 a keyword, 14-20 a name with one code, 23-30 a message
    const std::string text = "01234567KKKK: ^1Bobby: message.";
    LineView line = MakeLine(text);
    SetSegment(line.segments[0], 8, 4, LineKind::Keyword, text.data() + 8);
    SetSegment(line.segments[1], 14, 7, LineKind::Team0Name, text.data() + 14);
    SetSegment(line.segments[2], 23, 8, LineKind::Say, text.data() + 23);
    line.segments[3].SetEndMark();
    ComputeVisiblePositions(line);
    EXPECT_EQ(line.segments[0].visibleStart(), 8);
    EXPECT_EQ(line.segments[1].visibleStart(), 14);
    EXPECT_EQ(line.segments[1].visibleLength(), 5);
    EXPECT_EQ(line.segments[2].visibleStart(), 21);
    EXPECT_EQ(line.visibleLength, static_cast<int>(text.size()) - 2);
    // The visible lengths survive the visible starts being written.
    EXPECT_EQ(line.segments[0].visibleLength(), 4);
    EXPECT_EQ(line.segments[2].visibleLength(), 8);
}

TEST(ComputeVisiblePositions, UsesAllEightSegmentsWithoutAnEndMark) {
    const std::string text = "^1^1^1^1^1^1^1^1xx";
    LineView line = MakeLine(text);
    for (int s = 0; s < kSegmentsPerLine; ++s) {
        SetSegment(line.segments[static_cast<std::size_t>(s)], 2 * s, 2, LineKind::Say,
                   text.data() + 2 * s);
    }
    ComputeVisiblePositions(line);
    EXPECT_EQ(line.segments[7].visibleStart(), 0);
    EXPECT_EQ(line.visibleLength, 2);
}

// A line cut into stretches of the given kinds, one after another, with its
// visible positions computed as the recogniser leaves them.
struct Stretch {
    std::string text;
    int kind;
};

struct LaidLine {
    std::string text;
    LineView line;
};

LaidLine Lay(const std::vector<Stretch>& stretches) {
    LaidLine laid;
    for (const Stretch& stretch : stretches) {
        laid.text += stretch.text;
    }
    laid.line = MakeLine(laid.text);
    int start = 0;
    std::size_t s = 0;
    for (const Stretch& stretch : stretches) {
        const int length = static_cast<int>(stretch.text.size());
        SetSegment(laid.line.segments[s++], start, length, static_cast<LineKind>(stretch.kind),
                   laid.text.data() + start);
        start += length;
    }
    if (s < laid.line.segments.size()) {
        laid.line.segments[s].SetEndMark();
    }
    ComputeVisiblePositions(laid.line);
    return laid;
}

struct ColumnCase {
    const char* name;
    std::vector<Stretch> stretches;
    int column;
    int offset;
};

void PrintTo(const ColumnCase& c, std::ostream* os) {
    *os << c.name;
}

class ColumnMapping : public testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnMapping, GivesTheByteWhereTheColumnBegins) {
    const ColumnCase& c = GetParam();
    LaidLine laid = Lay(c.stretches);
    laid.line.text = laid.text.data();
    EXPECT_EQ(ColumnToByteOffset(laid.line, c.column), c.offset);
}

const std::vector<Stretch> kCodedChat{{"a^1bc", 15}};
const std::vector<Stretch> kPlainThenChat{{"^1ab", 1}, {"^1cd", 15}};

INSTANTIATE_TEST_SUITE_P(
    Columns, ColumnMapping,
    testing::Values(ColumnCase{"FirstCharacter", kCodedChat, 1, 1},
                    ColumnCase{"CodeBeforeTheNextCharacterIsKept", kCodedChat, 2, 4},
                    ColumnCase{"ColumnZero", kCodedChat, 0, 0},
                    ColumnCase{"NegativeColumn", kCodedChat, -4, 0},
                    ColumnCase{"AtTheVisibleLength", kCodedChat, 3, 5},
                    ColumnCase{"PastTheVisibleLength", kCodedChat, 99, 5},
                    ColumnCase{"DoubledCaretCountsOne", {{"^^ab", 15}}, 1, 2},
                    ColumnCase{"TrailingCaretShowsNothing", {{"ab^", 15}}, 2, 3},
                    // Where the screen shows carets as characters, they are
                    // columns like any other character.
                    ColumnCase{"CaretsOfPlainTextAreCharacters", {{"^1abc", 1}}, 2, 2},
                    ColumnCase{"CaretsOfATeamOneNameAreCharacters", {{"^1Bob", 4}}, 1, 1},
                    ColumnCase{"CodesHiddenOnlyInTheirStretch", kPlainThenChat, 4, 4},
                    ColumnCase{"CodeOfTheNextStretchStaysWithItsCharacter", kPlainThenChat, 5, 7},
                    ColumnCase{"PastTheEndOfAMixedLine", kPlainThenChat, 6, 8},
                    ColumnCase{"EmptyLine", {}, 1, 0}),
    [](const testing::TestParamInfo<ColumnCase>& info) { return info.param.name; });

struct VisibleTextCase {
    const char* name;
    std::vector<Stretch> stretches;
    std::string visible;
};

void PrintTo(const VisibleTextCase& c, std::ostream* os) {
    *os << c.name;
}

class LineVisibleTextTest : public testing::TestWithParam<VisibleTextCase> {};

TEST_P(LineVisibleTextTest, ShowsWhatTheScreenShows) {
    const VisibleTextCase& c = GetParam();
    LaidLine laid = Lay(c.stretches);
    laid.line.text = laid.text.data();
    std::string buffer;
    const std::string_view visible = LineVisibleText(laid.line, buffer);
    EXPECT_EQ(visible, c.visible);
    // Its length is the line's visible length, so its offsets are columns.
    EXPECT_EQ(static_cast<int>(visible.size()), laid.line.visibleLength);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineVisibleTextTest,
    testing::Values(VisibleTextCase{"NoCarets", {{"abc", 1}}, "abc"},
                    VisibleTextCase{"ChatHidesItsCodes", kCodedChat, "abc"},
                    VisibleTextCase{"PlainKeepsItsCarets", kPlainThenChat, "^1abcd"},
                    VisibleTextCase{"TeamOneNameKeepsItsCarets",
                                    {{"sayteam", 2}, {": ", 1}, {"^1Vi^7per", 4}, {": ^7hi", 16}},
                                    "sayteam: ^1Vi^7per: hi"},
                    VisibleTextCase{"DoubledCaretInChat", {{"a^^b^", 15}}, "a^b"},
                    VisibleTextCase{"AdminSenderHidesItsCodes", {{"^6Admin", 7}}, "Admin"}),
    [](const testing::TestParamInfo<VisibleTextCase>& info) { return info.param.name; });

} // namespace
