// The caret and the selection under the mouse, and selecting on request.
#include "ViewTestSupport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

namespace {

// Lines of known visible lengths: 25 lines of 30 columns, line 7 empty.
std::string SelectionLog() {
    std::string bytes = PlainLines(25, 30);
    const std::size_t line7 = 7 * 31;
    bytes.erase(line7, 30);
    return bytes;
}

constexpr int kSelectionLineLength = 30;

struct SelectionCell {
    int line;
    int column;
};

struct DragCase {
    const char* name;
    SelectionCell from;
    std::vector<SelectionCell>
        path; // where the pointer moves, the button held; released at the last
    bool selected;
    SelectionBounds bounds;
    SelectionCell caret;
};

void PrintTo(const DragCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewDragTest : public ::testing::TestWithParam<DragCase> {};

TEST_P(ViewDragTest, SelectsAndPlacesTheCaret) {
    ViewOnLog log(SelectionLog(), 10, 40);
    CQuarvelView& view = log.view();
    QWidget* window = view.viewport();
    const DragCase& c = GetParam();
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(c.from.line, c.from.column));
    for (const SelectionCell& to : c.path) {
        QTest::mouseMove(window, log.PointAt(to.line, to.column));
        EXPECT_TRUE(view.dragging());
    }
    const SelectionCell last = c.path.empty() ? c.from : c.path.back();
    QTest::mouseRelease(window, Qt::LeftButton, {}, log.PointAt(last.line, last.column));

    EXPECT_FALSE(view.dragging());
    EXPECT_EQ(view.selectionActive(), c.selected);
    EXPECT_EQ(view.selection(), c.bounds);
    EXPECT_EQ(view.caretLine(), c.caret.line);
    EXPECT_EQ(view.caretColumn(), c.caret.column);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, ViewDragTest,
    ::testing::Values(
        DragCase{"ClickWithoutMove", {3, 5}, {}, false, {3, 5, 3, 4}, {3, 5}},
        DragCase{"Forward", {3, 5}, {{3, 7}, {3, 9}}, true, {3, 5, 3, 8}, {3, 9}},
        DragCase{"Backward", {3, 5}, {{3, 2}}, true, {3, 2, 3, 4}, {3, 2}},
        DragCase{"ForwardAcrossLines", {3, 5}, {{4, 3}, {5, 0}}, true, {3, 5, 5, -1}, {5, 0}},
        DragCase{"BackwardAcrossLines", {5, 2}, {{3, 7}}, true, {3, 7, 5, 1}, {3, 7}},
        DragCase{"PastTheEndOfALine",
                 {3, 5},
                 {{3, 35}},
                 true,
                 {3, 5, 3, kSelectionLineLength - 1},
                 {3, kSelectionLineLength}},
        DragCase{"OntoAnEmptyLine", {6, 4}, {{7, 10}}, true, {6, 4, 7, -1}, {7, 0}},
        DragCase{"BackAndThenForwardPastTheAnchor",
                 {3, 5},
                 {{3, 2}, {3, 9}},
                 true,
                 {3, 5, 3, 8},
                 {3, 9}},
        DragCase{"ForwardAndThenBackPastTheAnchor",
                 {3, 5},
                 {{3, 9}, {2, 6}},
                 true,
                 {2, 6, 3, 4},
                 {2, 6}},
        DragCase{"BackToWhereItBegan", {3, 5}, {{3, 9}, {3, 5}}, false, {3, 5, 3, 4}, {3, 5}},
        DragCase{"TheStartMovesOnWithinABackwardDrag",
                 {3, 5},
                 {{3, 1}, {3, 3}},
                 true,
                 {3, 3, 3, 4},
                 {3, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewMouseTest, ADragBelowTheWindowStopsAtTheLastLine) {
    ViewOnLog log(PlainLines(5, 30), 10, 40);
    CQuarvelView& view = log.view();
    QWidget* window = view.viewport();
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(1, 2));
    QTest::mouseMove(window, QPoint(window->width() - 2, window->height() - 2));
    QTest::mouseRelease(window, Qt::LeftButton, {},
                        QPoint(window->width() - 2, window->height() - 2));
    EXPECT_EQ(view.selection(), (SelectionBounds{1, 2, 4, 29}));
    EXPECT_EQ(view.caretLine(), 4);
    EXPECT_EQ(view.caretColumn(), 30);
}

TEST(ViewMouseTest, AClickAfterASelectionClearsIt) {
    ViewOnLog log(PlainLines(10, 30));
    CQuarvelView& view = log.view();
    QWidget* window = view.viewport();
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(1, 2));
    QTest::mouseMove(window, log.PointAt(2, 4));
    QTest::mouseRelease(window, Qt::LeftButton, {}, log.PointAt(2, 4));
    ASSERT_TRUE(view.selectionActive());
    QTest::mouseClick(window, Qt::LeftButton, {}, log.PointAt(5, 6));
    EXPECT_FALSE(view.selectionActive());
    EXPECT_EQ(view.caretLine(), 5);
    EXPECT_EQ(view.caretColumn(), 6);
}

TEST(ViewMouseTest, TheCommandStatesAreAskedAgainWhenASelectionComesOrGoes) {
    ViewOnLog log(PlainLines(10, 30));
    CQuarvelView& view = log.view();
    QWidget* window = view.viewport();
    QSignalSpy changed(&view, &CQuarvelView::commandStateChanged);
    QTest::mouseClick(window, Qt::LeftButton, {}, log.PointAt(1, 2));
    EXPECT_EQ(changed.count(), 0) << "a plain click selects nothing";
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(1, 2));
    QTest::mouseMove(window, log.PointAt(1, 6));
    QTest::mouseMove(window, log.PointAt(1, 8));
    QTest::mouseRelease(window, Qt::LeftButton, {}, log.PointAt(1, 8));
    EXPECT_EQ(changed.count(), 1);
    QTest::mouseClick(window, Qt::LeftButton, {}, log.PointAt(3, 3));
    EXPECT_EQ(changed.count(), 2);
}

TEST(ViewMouseTest, TheRightButtonNeitherSelectsNorMovesTheCaret) {
    ViewOnLog log(PlainLines(10, 30));
    CQuarvelView& view = log.view();
    QWidget* window = view.viewport();
    QTest::mousePress(window, Qt::RightButton, {}, log.PointAt(4, 4));
    QTest::mouseMove(window, log.PointAt(5, 8));
    QTest::mouseRelease(window, Qt::RightButton, {}, log.PointAt(5, 8));
    EXPECT_FALSE(view.selectionActive());
    EXPECT_EQ(view.caretLine(), 0);
    EXPECT_EQ(view.caretColumn(), 0);
}

TEST(ViewHitTest, ClampsTheLineToTheLogAndTheColumnToTheLine) {
    ViewOnLog log(PlainLines(5, 30), 10, 40);
    CQuarvelView& view = log.view();
    const int cw = view.charWidth();
    const int lh = view.lineHeight();
    view.HitTest(CQuarvelView::kLeftMargin + 3 * cw + 1, CQuarvelView::kTopMargin + 2 * lh + 1);
    EXPECT_EQ(view.caretLine(), 2);
    EXPECT_EQ(view.caretColumn(), 3);
    view.HitTest(CQuarvelView::kLeftMargin + 39 * cw, CQuarvelView::kTopMargin + 9 * lh);
    EXPECT_EQ(view.caretLine(), 4) << "below the last line";
    EXPECT_EQ(view.caretColumn(), 30) << "right of the line's end";
    view.HitTest(-10 * cw, CQuarvelView::kTopMargin);
    EXPECT_EQ(view.caretColumn(), -10) << "a point left of the text is not raised to column 0";
    view.HitTest(5, -10 * lh);
    EXPECT_EQ(view.caretLine(), 0);
    EXPECT_EQ(view.caretColumn(), 0);
}

TEST(ViewHitTest, ALogWithoutLinesHitsLineZeroColumnZero) {
    ViewOnLog log("");
    log.view().HitTest(100, 100);
    EXPECT_EQ(log.view().caretLine(), 0);
    EXPECT_EQ(log.view().caretColumn(), 0);
}

TEST(ViewSelectRangeTest, AHitInViewNeitherScrollsNorMoves) {
    ViewOnLog log(PlainLines(100, 30), 10, 40);
    CQuarvelView& view = log.view();
    view.SelectRange(4, 3, 4, 9);
    EXPECT_TRUE(view.selectionActive());
    EXPECT_EQ(view.selection(), (SelectionBounds{4, 3, 4, 9}));
    EXPECT_EQ(view.caretLine(), 4);
    EXPECT_EQ(view.caretColumn(), 3);
    EXPECT_EQ(view.topLine(), 0);
    EXPECT_EQ(view.firstColumn(), 0);
}

TEST(ViewSelectRangeTest, AHitFarBelowComesHalfAWindowFromTheTop) {
    ViewOnLog log(PlainLines(100, 30), 10, 40);
    CQuarvelView& view = log.view();
    view.SelectRange(50, 3, 50, 9);
    EXPECT_EQ(view.topLine(), 45);
    EXPECT_EQ(view.verticalScrollBar()->value(), 45);
}

TEST(ViewSelectRangeTest, AHitNearTheEndShowsTheLastPage) {
    ViewOnLog log(PlainLines(100, 30), 10, 40);
    CQuarvelView& view = log.view();
    view.SelectRange(98, 0, 98, 2);
    EXPECT_EQ(view.topLine(), 90);
}

TEST(ViewSelectRangeTest, AHitRightOfTheWindowScrollsItsColumnToTheMiddle) {
    ViewOnLog log(PlainLines(10, 4095), 10, 40);
    CQuarvelView& view = log.view();
    view.SelectRange(2, 100, 2, 104);
    EXPECT_EQ(view.firstColumn(), 80);
    // Near the end of the widest line, its end is at the right edge.
    view.SelectRange(2, 4090, 2, 4094);
    EXPECT_EQ(view.firstColumn(), 4096 - 40);
    EXPECT_EQ(view.horizontalScrollBar()->value(), 4096 - 40);
    view.SelectRange(2, 5, 2, 6);
    EXPECT_EQ(view.firstColumn(), 0);
}

} // namespace
