// How the log or a selection falls onto printed pages, and the colours that
// read on white paper.
#include "PrintLayout.h"

#include "CaretColourTable.h"
#include "HandLog.h"
#include "KindTables.h"
#include "PaperColours.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

// Found by GoogleTest next to the type itself.
void PrintTo(const PrintRow& r, std::ostream* os) {
    *os << "{" << r.line << ", " << r.firstColumn << ", " << r.columns << "}";
}

namespace {

// Lines of 5, 12, 0 and 25 columns.
const std::string kLog = "aaaaa\n"
                         "bbbbbbbbbbbb\n"
                         "\n"
                         "ccccccccccccccccccccccccc\n";

struct LayoutCase {
    const char* name;
    SelectionBounds stretch; // startLine -1: the whole log
    bool wrap;
    int rowsPerPage;
    std::vector<std::vector<PrintRow>> pages;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class PrintLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PrintLayoutTest, LaysTheRowsOntoPages) {
    const LayoutCase& c = GetParam();
    HandLog log(kLog);
    const SelectionBounds stretch =
        c.stretch.startLine < 0 ? PrintLayout::WholeLog(log) : c.stretch;
    const PrintLayout layout(log, stretch, 10, c.rowsPerPage, c.wrap);
    ASSERT_EQ(layout.pageCount(), static_cast<int>(c.pages.size()));
    for (int page = 0; page < layout.pageCount(); ++page) {
        EXPECT_EQ(layout.PageRows(page), c.pages[static_cast<std::size_t>(page)])
            << "page " << page;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PrintLayoutTest,
    ::testing::Values(
        LayoutCase{"WholeLogCut",
                   {-1, 0, 0, 0},
                   false,
                   10,
                   {{{0, 0, 5}, {1, 0, 10}, {2, 0, 0}, {3, 0, 10}}}},
        LayoutCase{
            "WholeLogWrapped",
            {-1, 0, 0, 0},
            true,
            10,
            {{{0, 0, 5}, {1, 0, 10}, {1, 10, 2}, {2, 0, 0}, {3, 0, 10}, {3, 10, 10}, {3, 20, 5}}}},
        LayoutCase{"WrappedOntoThreePages",
                   {-1, 0, 0, 0},
                   true,
                   3,
                   {{{0, 0, 5}, {1, 0, 10}, {1, 10, 2}},
                    {{2, 0, 0}, {3, 0, 10}, {3, 10, 10}},
                    {{3, 20, 5}}}},
        LayoutCase{"CutOntoTwoPages",
                   {-1, 0, 0, 0},
                   false,
                   3,
                   {{{0, 0, 5}, {1, 0, 10}, {2, 0, 0}}, {{3, 0, 10}}}},
        LayoutCase{"ASelectionWithinALine", {1, 3, 1, 6}, true, 10, {{{1, 3, 4}}}},
        LayoutCase{"ASelectionOverLines",
                   {1, 8, 3, 13},
                   true,
                   10,
                   {{{1, 8, 4}, {2, 0, 0}, {3, 0, 10}, {3, 10, 4}}}},
        LayoutCase{
            "ASelectionEndingAtALinesStart", {0, 2, 2, -1}, false, 10, {{{0, 2, 3}, {1, 0, 10}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrintLayout, AnEmptyLogIsOneBlankPage) {
    HandLog log("");
    const PrintLayout layout(log, PrintLayout::WholeLog(log), 10, 10, true);
    EXPECT_EQ(layout.pageCount(), 1);
    EXPECT_TRUE(layout.PageRows(0).empty());
}

TEST(PrintLayout, ManyLinesMakeAsManyPagesAsTheyNeed) {
    std::string bytes;
    for (int i = 0; i < 1000; ++i) {
        bytes += "line\n";
    }
    HandLog log(bytes);
    const PrintLayout layout(log, PrintLayout::WholeLog(log), 80, 60, true);
    EXPECT_EQ(layout.pageCount(), 17); // 16 full pages and 40 rows
    EXPECT_EQ(layout.PageRows(16).size(), 40u);
    EXPECT_EQ(layout.PageRows(16).front().line, 960);
}

// Every colour the view draws with reads on white once mapped, and keeps its
// hue; those that read already stay as they are.
TEST(PaperColours, EveryScreenColourIsLegibleOnWhite) {
    const CaretColourTable caret;
    const KindTables kinds = MakeKindTables(caret);
    std::vector<Rgb> colours(caret.colours().begin(), caret.colours().end());
    for (int kind = 0; kind <= kLastKind; ++kind) {
        colours.push_back(kinds.kindColour[static_cast<std::size_t>(kind)]);
    }
    for (const Rgb colour : colours) {
        const Rgb paper = LegibleOnWhite(colour);
        EXPECT_GE(ContrastWithWhite(paper), 4.5) << std::hex << colour;
        if (ContrastWithWhite(colour) >= 4.5) {
            EXPECT_EQ(paper, colour) << std::hex << colour;
        }
        // The same hue: channels that differ clearly keep their order.
        const int r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
        const int pr = (paper >> 16) & 0xFF, pg = (paper >> 8) & 0xFF, pb = paper & 0xFF;
        if (std::abs(r - g) > 4) {
            EXPECT_EQ(r > g, pr > pg) << std::hex << colour;
        }
        if (std::abs(g - b) > 4) {
            EXPECT_EQ(g > b, pg > pb) << std::hex << colour;
        }
    }
}

struct PaperCase {
    Rgb screen;
    bool darkened;
};

class PaperColourTest : public ::testing::TestWithParam<PaperCase> {};

TEST_P(PaperColourTest, DarkensOnlyWhatIsTooFaint) {
    const Rgb paper = LegibleOnWhite(GetParam().screen);
    EXPECT_EQ(paper != GetParam().screen, GetParam().darkened);
    if (GetParam().darkened) {
        EXPECT_LT(ContrastWithWhite(paper), 5.0) << "darkened no further than needed";
    }
}

INSTANTIATE_TEST_SUITE_P(Colours, PaperColourTest,
                         ::testing::Values(PaperCase{0xFFFFFF, true},  // names of team 0
                                           PaperCase{0xC4C4FF, true},  // plain text
                                           PaperCase{0xFFFF00, true},  // caret 3
                                           PaperCase{0xFF1919, true},  // team 1
                                           PaperCase{0x008080, false}, // slots, addresses
                                           PaperCase{0x4C4CFF, false}  // team 2
                                           ));

} // namespace
