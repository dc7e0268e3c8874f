// Scrolling the view with the keys, the scroll bars and the wheel.
#include "ViewTestSupport.h"

#include <QWheelEvent>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

namespace {

// 25 lines of 60 columns in a window of 10 rows and 40 columns.
constexpr int kLines = 25;
constexpr int kRows = 10;
constexpr int kLineLength = 60;

struct Place {
    int topLine;
    int firstColumn;
    int caretLine;
    int caretColumn;

    bool operator==(const Place&) const = default;
};

void PrintTo(const Place& p, std::ostream* os) {
    *os << "{top " << p.topLine << ", first column " << p.firstColumn << ", caret " << p.caretLine
        << ":" << p.caretColumn << "}";
}

Place PlaceOf(const CQuarvelView& view) {
    return {view.topLine(), view.firstColumn(), view.caretLine(), view.caretColumn()};
}

struct KeyCase {
    const char* name;
    std::vector<Qt::Key> keys;
    Place expected;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ViewKeyTest, MovesTheView) {
    ViewOnLog log(PlainLines(kLines, kLineLength), kRows, 40);
    CQuarvelView& view = log.view();
    ASSERT_EQ(view.visibleLines(), kRows);
    for (const Qt::Key key : GetParam().keys) {
        QTest::keyClick(&view, key);
    }
    EXPECT_EQ(PlaceOf(view), GetParam().expected);
    EXPECT_EQ(view.verticalScrollBar()->value(), view.topLine());
    EXPECT_EQ(view.horizontalScrollBar()->value(), view.firstColumn());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ViewKeyTest,
    ::testing::Values(
        KeyCase{"DownScrollsOneLine", {Qt::Key_Down, Qt::Key_Down}, {2, 0, 0, 0}},
        KeyCase{"UpStopsAtTheTop", {Qt::Key_Down, Qt::Key_Up, Qt::Key_Up}, {0, 0, 0, 0}},
        KeyCase{"PageDownScrollsAWindow", {Qt::Key_PageDown}, {kRows, 0, 0, 0}},
        KeyCase{"PageDownAtTheEndKeepsTheLastLineOnTheBottomRow",
                {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown},
                {kLines - kRows, 0, 0, 0}},
        KeyCase{"DownAtTheEndStays",
                {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_Down},
                {kLines - kRows, 0, 0, 0}},
        KeyCase{"PageUpStopsAtTheTop", {Qt::Key_Down, Qt::Key_Down, Qt::Key_PageUp}, {0, 0, 0, 0}},
        KeyCase{"RightAndLeftScrollColumns",
                {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left},
                {0, 2, 0, 0}},
        KeyCase{"LeftStopsAtColumnZero", {Qt::Key_Left}, {0, 0, 0, 0}},
        KeyCase{"EndShowsTheLastPageWithTheCaretAfterTheLastCharacter",
                {Qt::Key_Right, Qt::Key_End},
                {kLines - kRows, 0, kLines - 1, kLineLength}},
        KeyCase{
            "HomePutsEverythingAtZero", {Qt::Key_End, Qt::Key_Right, Qt::Key_Home}, {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewScrollTest, LineRightAtTheLastColumnStaysThere) {
    // 60 columns in a window of 40: the last first column shows the end of
    // the line with the cell after it at the right edge.
    ViewOnLog log(PlainLines(3, kLineLength), kRows, 40);
    CQuarvelView& view = log.view();
    const int last = kLineLength + 1 - 40;
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), last);
    view.OnHScroll(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view.firstColumn(), last);
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(view.firstColumn(), last);
    view.OnHScroll(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view.firstColumn(), last);
}

// The horizontal bar follows the widest line: it reaches the end of a line
// of any length, and does not show while every line fits.
struct WidthCase {
    const char* name;
    std::string log;
    int lastFirstColumn;
    bool barShown;
};

void PrintTo(const WidthCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewWidthTest : public ::testing::TestWithParam<WidthCase> {};

TEST_P(ViewWidthTest, TheHorizontalBarReachesTheEndOfTheWidestLine) {
    const WidthCase& c = GetParam();
    ViewOnLog log(c.log, kRows, 40);
    CQuarvelView& view = log.view();
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), c.lastFirstColumn);
    EXPECT_EQ(view.horizontalScrollBar()->isVisible(), c.barShown);
    view.OnHScroll(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view.firstColumn(), c.lastFirstColumn);
    EXPECT_EQ(view.visibleLines(), kRows) << "the window keeps its rows";
}

INSTANTIATE_TEST_SUITE_P(
    Logs, ViewWidthTest,
    ::testing::Values(WidthCase{"Empty", "", 0, false},
                      WidthCase{"EveryLineFits", PlainLines(5, 30), 0, false},
                      WidthCase{"ALineOneCellTooWide", PlainLines(2, 40), 1, true},
                      WidthCase{"TenMegabyteLine",
                                "short\n" + std::string(10'000'000, 'x') + "\nshort\n",
                                10'000'000 + 1 - 40, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewScrollTest, TheEndOfAVeryLongLineIsDrawnWhenScrolledTo) {
    std::string longLine(5'000'000, 'x');
    longLine.back() = 'E';
    ViewOnLog log(longLine + "\n", kRows, 40);
    CQuarvelView& view = log.view();
    view.OnHScroll(QAbstractSlider::SliderToMaximum);
    const QImage shown = log.Grab();
    // The last character sits in the second cell from the right edge.
    const QRect lastCell = log.Cell(0, 38);
    bool inked = false;
    for (int y = lastCell.top(); y <= lastCell.bottom(); ++y) {
        for (int x = lastCell.left(); x <= lastCell.right(); ++x) {
            inked = inked || shown.pixel(x, y) != qRgb(0, 0, 0);
        }
    }
    EXPECT_TRUE(inked);
}

TEST(ViewScrollTest, TheVerticalRangeEndsWhereTheLastLineIsOnTheBottomRow) {
    ViewOnLog log(PlainLines(kLines), kRows);
    EXPECT_EQ(log.view().verticalScrollBar()->minimum(), 0);
    EXPECT_EQ(log.view().verticalScrollBar()->maximum(), kLines - kRows);
}

TEST(ViewScrollTest, AShortLogDoesNotScroll) {
    ViewOnLog log(PlainLines(4), kRows);
    CQuarvelView& view = log.view();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    QTest::keyClick(&view, Qt::Key_PageDown);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.topLine(), 0);
}

TEST(ViewScrollTest, EndOnALogWithoutLinesPutsTheCaretAboveTheFirstRow) {
    ViewOnLog log("");
    CQuarvelView& view = log.view();
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(PlaceOf(view), (Place{0, 0, -1, 0}));
}

TEST(ViewScrollTest, TheScrollBarsActionsMoveTheView) {
    ViewOnLog log(PlainLines(kLines, 400), kRows);
    CQuarvelView& view = log.view();
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view.topLine(), kRows);
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(view.topLine(), kRows - 1);
    // Dragging the thumb reports its position as it goes.
    view.verticalScrollBar()->setSliderPosition(7);
    EXPECT_EQ(view.topLine(), 7);
    view.horizontalScrollBar()->setSliderPosition(123);
    EXPECT_EQ(view.firstColumn(), 123);
    view.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view.firstColumn(), 123 + view.visibleColumns());
    view.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(view.firstColumn(), 0);
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
}

TEST(ViewScrollTest, AnUpdatePutsEverythingBackAtTheStart) {
    ViewOnLog log(PlainLines(kLines), kRows);
    CQuarvelView& view = log.view();
    QTest::keyClick(&view, Qt::Key_End);
    view.SelectRange(20, 3, 20, 5);
    view.OnUpdate();
    EXPECT_EQ(PlaceOf(view), (Place{0, 0, 0, 0}));
    EXPECT_FALSE(view.selectionActive());
    EXPECT_EQ(view.selection(), (SelectionBounds{20, 3, 20, 5})) << "the bounds keep their values";
}

TEST(ViewScrollTest, GrowingTheWindowAtTheEndBringsTheTopLineBack) {
    ViewOnLog log(PlainLines(kLines), kRows);
    CQuarvelView& view = log.view();
    QTest::keyClick(&view, Qt::Key_End);
    ASSERT_EQ(view.topLine(), kLines - kRows);
    view.resize(view.size() + QSize(0, 5 * view.lineHeight()));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.visibleLines(), kRows + 5);
    EXPECT_EQ(view.topLine(), kLines - kRows - 5);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), kLines - kRows - 5);
}

void TurnWheel(CQuarvelView& view, QPoint angle, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF at(10, 10);
    QWheelEvent event(at, view.viewport()->mapToGlobal(at), QPoint(), angle, Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

TEST(ViewWheelTest, ANotchScrollsThreeLines) {
    ViewOnLog log(PlainLines(kLines), kRows);
    CQuarvelView& view = log.view();
    TurnWheel(view, QPoint(0, -120));
    EXPECT_EQ(view.topLine(), 3);
    TurnWheel(view, QPoint(0, -240));
    EXPECT_EQ(view.topLine(), 9);
    TurnWheel(view, QPoint(0, 120));
    EXPECT_EQ(view.topLine(), 6);
    EXPECT_EQ(view.verticalScrollBar()->value(), 6);
}

TEST(ViewWheelTest, HalfNotchesAddUp) {
    ViewOnLog log(PlainLines(kLines), kRows);
    CQuarvelView& view = log.view();
    TurnWheel(view, QPoint(0, -60));
    EXPECT_EQ(view.topLine(), 0);
    TurnWheel(view, QPoint(0, -60));
    EXPECT_EQ(view.topLine(), 3);
}

TEST(ViewWheelTest, ShiftOrASidewaysWheelScrollsThreeColumns) {
    ViewOnLog log(PlainLines(kLines), kRows);
    CQuarvelView& view = log.view();
    TurnWheel(view, QPoint(0, -120), Qt::ShiftModifier);
    EXPECT_EQ(view.firstColumn(), 3);
    EXPECT_EQ(view.topLine(), 0);
    TurnWheel(view, QPoint(-120, 0));
    EXPECT_EQ(view.firstColumn(), 6);
    TurnWheel(view, QPoint(0, 360), Qt::ShiftModifier);
    EXPECT_EQ(view.firstColumn(), 0);
}

TEST(ViewWheelTest, TheWheelStopsAtTheLastPage) {
    ViewOnLog log(PlainLines(kLines), kRows);
    CQuarvelView& view = log.view();
    TurnWheel(view, QPoint(0, -120 * 10));
    EXPECT_EQ(view.topLine(), kLines - kRows);
}

} // namespace
