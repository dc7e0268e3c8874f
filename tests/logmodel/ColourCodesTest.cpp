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
    EXPECT_EQ(segment.kind(), c.kind);
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
                                         // Coloured when drawn, yet measured at their byte length.
                                         MeasureCase{"Kind7NotMeasured", "^1abc", 7, 5},
                                         MeasureCase{"Kind8NotMeasured", "^1abc", 8, 5},
                                         MeasureCase{"Kind9NotMeasured", "^1abc", 9, 5},
                                         MeasureCase{"TeamKind4NotMeasured", "^1abc", 4, 5},
                                         MeasureCase{"TeamKind5NotMeasured", "^1abc", 5, 5},
                                         MeasureCase{"PlainNotMeasured", "^1abc", 1, 5}),
                         [](const testing::TestParamInfo<MeasureCase>& info) {
                             return info.param.name;
                         });

TEST(SetSegment, WithoutTextVisibleLengthIsTheByteLength) {
    LineSegment segment{};
    SetSegment(segment, 0, 5, 3, nullptr);
    EXPECT_EQ(segment.visibleLength(), 5);
}

TEST(SetSegment, MeasuresOnlyItsOwnBytes) {
    const std::string text = "ab^1cd";
    LineSegment segment{};
    SetSegment(segment, 0, 3, 15, text.data()); // "ab^": the caret ends the segment
    EXPECT_EQ(segment.visibleLength(), 2);
}

TEST(SetSegment, ClampsToTheTwelveBitFields) {
    LineSegment segment{};
    SetSegment(segment, 5000, 9000, 1, nullptr);
    EXPECT_EQ(segment.kind(), 1);
    EXPECT_EQ(segment.start(), 4095);
    EXPECT_EQ(segment.length(), 4095);
    EXPECT_EQ(segment.visibleLength(), 4095);
}

TEST(ColourKinds, TheColouredSetIsTheMeasuredSetPlusSevenToNine) {
    std::vector<int> measured;
    std::vector<int> coloured;
    for (int kind = 0; kind < 256; ++kind) {
        if (IsCaretMeasuredKind(static_cast<LineKind>(kind))) {
            measured.push_back(kind);
        }
        LineSegment segment{};
        SetSegment(segment, 0, 0, static_cast<LineKind>(kind), nullptr);
        if (IsColourCodedKind(segment)) {
            coloured.push_back(kind);
        }
    }
    EXPECT_EQ(measured, (std::vector<int>{3, 6, 15, 16, 17, 18, 19, 20}));
    EXPECT_EQ(coloured, (std::vector<int>{3, 6, 7, 8, 9, 15, 16, 17, 18, 19, 20}));
}

TEST(ComputeVisiblePositions, StartsMoveLeftByTheCodesBeforeThem) {
    // bytes 8-11 a keyword, 14-20 a name with one code, 23-30 a message
    const std::string text = "01234567KKKK: ^1Bobby: message.";
    LineView line = MakeLine(text);
    SetSegment(line.segments[0], 8, 4, 2, text.data() + 8);
    SetSegment(line.segments[1], 14, 7, 3, text.data() + 14);
    SetSegment(line.segments[2], 23, 8, 15, text.data() + 23);
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
        SetSegment(line.segments[static_cast<std::size_t>(s)], 2 * s, 2, 15, text.data() + 2 * s);
    }
    ComputeVisiblePositions(line);
    EXPECT_EQ(line.segments[7].visibleStart(), 0);
    EXPECT_EQ(line.visibleLength, 2);
}

struct ColumnCase {
    const char* name;
    std::string text;
    int visibleLength;
    int column;
    int offset;
};

void PrintTo(const ColumnCase& c, std::ostream* os) {
    *os << c.name;
}

class ColumnMapping : public testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnMapping, GivesTheByteWhereTheColumnBegins) {
    const ColumnCase& c = GetParam();
    LineView line = MakeLine(c.text);
    line.visibleLength = c.visibleLength;
    EXPECT_EQ(ColumnToByteOffset(line, c.column), c.offset);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, ColumnMapping,
    testing::Values(ColumnCase{"FirstCharacter", "a^1bc", 3, 1, 1},
                    ColumnCase{"CodeBeforeTheNextCharacterIsKept", "a^1bc", 3, 2, 4},
                    ColumnCase{"ColumnZero", "a^1bc", 3, 0, 0},
                    ColumnCase{"NegativeColumn", "a^1bc", 3, -4, 0},
                    ColumnCase{"AtTheVisibleLength", "a^1bc", 3, 3, 5},
                    ColumnCase{"PastTheVisibleLength", "a^1bc", 3, 99, 5},
                    ColumnCase{"DoubledCaretCountsOne", "^^ab", 3, 1, 2},
                    ColumnCase{"TrailingCaretEndsTheWalk", "ab^", 5, 3, 3},
                    // Every caret counts as a code here, even in plain text
                    // whose visible length counted it: the walk then runs out.
                    ColumnCase{"CaretsOfPlainTextAreCodesToo", "^1abc", 5, 4, 5},
                    ColumnCase{"EmptyLine", "", 0, 1, 0}),
    [](const testing::TestParamInfo<ColumnCase>& info) { return info.param.name; });

} // namespace
