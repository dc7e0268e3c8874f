// Growing the selection: Select All, Shift+click, Shift and the arrow keys,
// and a drag held past an edge of the window, which scrolls.
#include "CommandIds.h"
#include "ViewTestSupport.h"

#include <gtest/gtest.h>
#include <ostream>
#include <vector>

namespace {

// 25 lines of 30 columns, line 7 empty.
std::string ExtendLog() {
    std::string bytes = PlainLines(25, 30);
    bytes.erase(7 * 31, 30);
    return bytes;
}

TEST(ViewSelectAllTest, SelectsEveryCharacterAndKeepsTheScrollPosition) {
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_TRUE(view.IsCommandEnabled(CommandId::kEditSelectAll));
    EXPECT_TRUE(view.OnCommand(CommandId::kEditSelectAll));
    EXPECT_TRUE(view.selectionActive());
    EXPECT_EQ(view.selection(), (SelectionBounds{0, 0, 24, 29}));
    EXPECT_EQ(view.caretLine(), 24);
    EXPECT_EQ(view.caretColumn(), 30);
    EXPECT_EQ(view.topLine(), 10);
    EXPECT_TRUE(view.IsCommandEnabled(CommandId::kEditCopy));
}

TEST(ViewSelectAllTest, AnEmptyLogHasNothingToSelect) {
    ViewOnLog log("");
    EXPECT_FALSE(log.view().IsCommandEnabled(CommandId::kEditSelectAll));
    log.view().OnEditSelectAll();
    EXPECT_FALSE(log.view().selectionActive());
}

struct Cell {
    int line;
    int column;
};

// Shift+click after a click, a drag or a search hit: the selection runs
// from its anchor to the click.
struct ShiftClickCase {
    const char* name;
    Cell click;             // a plain click first, or the start of a drag
    std::vector<Cell> drag; // the drag's path, if any
    Cell shiftClick;
    SelectionBounds bounds;
    bool backward;
};

void PrintTo(const ShiftClickCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewShiftClickTest : public ::testing::TestWithParam<ShiftClickCase> {};

TEST_P(ViewShiftClickTest, ExtendsFromTheAnchor) {
    const ShiftClickCase& c = GetParam();
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    QWidget* window = view.viewport();
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(c.click.line, c.click.column));
    for (const Cell& to : c.drag) {
        QTest::mouseMove(window, log.PointAt(to.line, to.column));
    }
    const Cell released = c.drag.empty() ? c.click : c.drag.back();
    QTest::mouseRelease(window, Qt::LeftButton, {}, log.PointAt(released.line, released.column));

    const QPoint shifted = log.PointAt(c.shiftClick.line, c.shiftClick.column);
    QTest::mousePress(window, Qt::LeftButton, Qt::ShiftModifier, shifted);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::ShiftModifier, shifted);

    EXPECT_TRUE(view.selectionActive());
    EXPECT_EQ(view.selection(), c.bounds);
    EXPECT_EQ(view.dragBackward(), c.backward);
    EXPECT_EQ(view.caretLine(), c.shiftClick.line);
    EXPECT_EQ(view.caretColumn(), c.shiftClick.column);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ViewShiftClickTest,
    ::testing::Values(
        ShiftClickCase{"AfterAClickForwards", {3, 5}, {}, {4, 2}, {3, 5, 4, 1}, false},
        ShiftClickCase{"AfterAClickBackwards", {3, 5}, {}, {2, 8}, {2, 8, 3, 4}, true},
        ShiftClickCase{
            "AfterADragTheDragsStartStays", {3, 5}, {{3, 9}}, {5, 3}, {3, 5, 5, 2}, false},
        ShiftClickCase{
            "AfterABackwardDragItsAnchorStays", {3, 5}, {{3, 2}}, {3, 9}, {3, 5, 3, 8}, false},
        ShiftClickCase{"BackPastTheAnchor", {3, 5}, {{3, 9}}, {1, 0}, {1, 0, 3, 4}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewShiftClickTest, AfterASearchHitItExtendsFromTheHitsStart) {
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    view.SelectRange(2, 4, 2, 6);
    const QPoint point = log.PointAt(3, 10);
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, point);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, point);
    EXPECT_EQ(view.selection(), (SelectionBounds{2, 4, 3, 9}));
}

TEST(ViewShiftClickTest, ADragGoesOnFromAShiftClick) {
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    QWidget* window = view.viewport();
    QTest::mouseClick(window, Qt::LeftButton, {}, log.PointAt(3, 5));
    QTest::mousePress(window, Qt::LeftButton, Qt::ShiftModifier, log.PointAt(4, 4));
    QTest::mouseMove(window, log.PointAt(2, 3));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::ShiftModifier, log.PointAt(2, 3));
    EXPECT_EQ(view.selection(), (SelectionBounds{2, 3, 3, 4}));
}

// Shift and the arrows move the selection's moving end a character or a
// line at a time.
struct ShiftKeyCase {
    const char* name;
    Cell caret; // clicked first
    std::vector<Qt::Key> keys;
    bool selected;
    SelectionBounds bounds;
    Cell movingEnd;
};

void PrintTo(const ShiftKeyCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewShiftKeyTest : public ::testing::TestWithParam<ShiftKeyCase> {};

TEST_P(ViewShiftKeyTest, ExtendsTheSelection) {
    const ShiftKeyCase& c = GetParam();
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      log.PointAt(c.caret.line, c.caret.column));
    for (const Qt::Key key : c.keys) {
        QTest::keyClick(&view, key, Qt::ShiftModifier);
    }
    EXPECT_EQ(view.selectionActive(), c.selected);
    if (c.selected) {
        EXPECT_EQ(view.selection(), c.bounds);
    }
    EXPECT_EQ(view.caretLine(), c.movingEnd.line);
    EXPECT_EQ(view.caretColumn(), c.movingEnd.column);
    EXPECT_EQ(view.topLine(), 0) << "Shift and an arrow do not scroll a caret in view";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ViewShiftKeyTest,
    ::testing::Values(
        ShiftKeyCase{
            "RightTwice", {3, 5}, {Qt::Key_Right, Qt::Key_Right}, true, {3, 5, 3, 6}, {3, 7}},
        ShiftKeyCase{"Left", {3, 5}, {Qt::Key_Left}, true, {3, 4, 3, 4}, {3, 4}},
        ShiftKeyCase{
            "RightThenLeftIsNothing", {3, 5}, {Qt::Key_Right, Qt::Key_Left}, false, {}, {3, 5}},
        ShiftKeyCase{"Down", {3, 5}, {Qt::Key_Down}, true, {3, 5, 4, 4}, {4, 5}},
        ShiftKeyCase{"UpThenUp", {3, 5}, {Qt::Key_Up, Qt::Key_Up}, true, {1, 5, 3, 4}, {1, 5}},
        ShiftKeyCase{"RightAtALinesEndGoesToTheNextLine",
                     {3, 29},
                     {Qt::Key_Right, Qt::Key_Right},
                     true,
                     {3, 29, 4, -1},
                     {4, 0}},
        ShiftKeyCase{"LeftAtALinesStartGoesToThePreviousEnd",
                     {4, 0},
                     {Qt::Key_Left},
                     true,
                     {3, 30, 4, -1},
                     {3, 30}},
        ShiftKeyCase{"DownOntoAnEmptyLine", {6, 12}, {Qt::Key_Down}, true, {6, 12, 7, -1}, {7, 0}},
        ShiftKeyCase{
            "UpAtTheTopStays", {0, 3}, {Qt::Key_Up, Qt::Key_Left}, true, {0, 2, 0, 2}, {0, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewShiftKeyTest, TheMovingEndIsScrolledIntoView) {
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, log.PointAt(8, 2));
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    }
    EXPECT_EQ(view.caretLine(), 11);
    EXPECT_EQ(view.topLine(), 2) << "the caret's line on the bottom row";
    EXPECT_EQ(view.selection(), (SelectionBounds{8, 2, 11, 1}));
}

TEST(ViewShiftKeyTest, PlainArrowsStillScroll) {
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.topLine(), 1);
    EXPECT_FALSE(view.selectionActive());
}

// A drag held below or above the window scrolls it, and the selection
// follows to the line under the pointer.
TEST(ViewAutoScrollTest, ADragHeldBelowTheWindowScrollsDownAndSelects) {
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    QWidget* window = view.viewport();
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(2, 3));
    const QPoint below(log.PointAt(2, 3).x(), window->height() + 5);
    QTest::mouseMove(window, below);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.topLine() >= 5; }, 5000));
    QTest::mouseRelease(window, Qt::LeftButton, {}, below);
    const int top = view.topLine();
    EXPECT_TRUE(view.selectionActive());
    EXPECT_EQ(view.selection().startLine, 2);
    EXPECT_GE(view.selection().endLine, top + view.visibleLines() - 1);
    // Released: the scrolling stops.
    QTest::qWait(200);
    EXPECT_EQ(view.topLine(), top);
}

TEST(ViewAutoScrollTest, ADragHeldAboveTheWindowScrollsUpToTheTop) {
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    QTest::keyClick(&view, Qt::Key_End);
    ASSERT_EQ(view.topLine(), 15);
    QWidget* window = view.viewport();
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(20, 3));
    const QPoint above(log.PointAt(20, 3).x(), -40);
    QTest::mouseMove(window, above);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.topLine() == 0; }, 5000));
    QTest::mouseRelease(window, Qt::LeftButton, {}, above);
    EXPECT_EQ(view.selection().startLine, 0);
    EXPECT_EQ(view.selection().endLine, 20);
    EXPECT_TRUE(view.dragBackward());
}

TEST(ViewAutoScrollTest, APointerBackInsideStopsTheScrolling) {
    ViewOnLog log(ExtendLog(), 10, 40);
    CQuarvelView& view = log.view();
    QWidget* window = view.viewport();
    QTest::mousePress(window, Qt::LeftButton, {}, log.PointAt(2, 3));
    QTest::mouseMove(window, QPoint(20, window->height() + 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.topLine() >= 1; }, 5000));
    QTest::mouseMove(window, QPoint(20, window->height() / 2));
    const int top = view.topLine();
    QTest::qWait(200);
    EXPECT_EQ(view.topLine(), top);
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(20, window->height() / 2));
}

} // namespace
