// Where document windows go, the Window menu's list of them, the main
// window's placement from one run to the next, and the full path of a log
// in its title's tooltip and its recent entry's prompt.
#include "WindowPlacement.h"

#include "CQuarvelDoc.h"
#include "CommandIds.h"
#include "MainFrameTestFixture.h"

#include <QDir>
#include <QHelpEvent>
#include <QMdiArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolTip>

using namespace CommandId;

namespace {

struct PlaceCase {
    const char* name;
    QSize area;
    int index;
    QRect expected;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.name;
}

class PlaceNewWindowTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceNewWindowTest, CascadesInsideTheArea) {
    const PlaceCase& c = GetParam();
    const QRect placed = PlaceNewWindow(c.area, c.index, 20);
    EXPECT_EQ(placed, c.expected);
    EXPECT_TRUE(QRect(QPoint(0, 0), c.area).contains(placed) || c.area.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Places, PlaceNewWindowTest,
    ::testing::Values(PlaceCase{"First", {800, 400}, 0, {0, 0, 600, 300}},
                      PlaceCase{"Second", {800, 400}, 1, {20, 20, 600, 300}},
                      // 100 pixels of room below: places 0, 20, ... 100, then the corner.
                      PlaceCase{"LastThatFits", {800, 400}, 5, {100, 100, 600, 300}},
                      PlaceCase{"StartsAgainAtTheCorner", {800, 400}, 6, {0, 0, 600, 300}},
                      PlaceCase{"Seventh", {800, 400}, 7, {20, 20, 600, 300}},
                      PlaceCase{"TinyArea", {40, 30}, 3, {0, 0, 30, 22}},
                      PlaceCase{"NoArea", {0, 0}, 2, {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

QString PlacementPathOf(const TempFile& file) {
    return QString::fromStdString(file.path());
}

TEST_F(MainFrameTest, NewWindowsOpenInsideTheArea) {
    ShowActive();
    std::vector<std::unique_ptr<TempFile>> logs;
    for (int i = 0; i < 12; ++i) {
        logs.push_back(std::make_unique<TempFile>(Lines(3)));
        ASSERT_TRUE(frame->OpenDocumentFile(PlacementPathOf(*logs.back())));
    }
    const QRect area(QPoint(0, 0), frame->mdiArea()->viewport()->size());
    for (CChildFrame* child : frame->childFrames()) {
        EXPECT_TRUE(area.contains(child->geometry()))
            << child->windowTitle().toStdString() << " at " << child->x() << "," << child->y();
    }
}

TEST_F(MainFrameTest, WindowsOfLogsOpenedBeforeTheWindowShowsLieInsideTooOnceItShows) {
    TempFile first(Lines(3));
    TempFile second(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(PlacementPathOf(first)));
    ASSERT_TRUE(frame->OpenDocumentFile(PlacementPathOf(second)));
    ShowActive();
    const QRect area(QPoint(0, 0), frame->mdiArea()->viewport()->size());
    for (CChildFrame* child : frame->childFrames()) {
        EXPECT_TRUE(area.contains(child->geometry())) << child->windowTitle().toStdString();
        EXPECT_GT(child->width(), area.width() / 2);
    }
}

TEST_F(MainFrameTest, TheWindowMenuListsTheOpenWindowsAndActivatesThem) {
    TempFile first(Lines(3));
    TempFile second(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(PlacementPathOf(first)));
    ASSERT_TRUE(frame->OpenDocumentFile(PlacementPathOf(second)));
    frame->commandAction(kWindowNew)->trigger();
    const QString firstName = QFileInfo(PlacementPathOf(first)).fileName();
    const QString secondName = QFileInfo(PlacementPathOf(second)).fileName();

    EXPECT_EQ(
        MenuEntries("&Window"),
        (QStringList{"&New Window", "&Cascade", "&Tile", "&Arrange Icons", "-", "&1 " + firstName,
                     "&2 " + secondName + ":1", "&3 " + secondName + ":2"}));
    QList<QAction*> entries = frame->windowListActions();
    ASSERT_EQ(entries.size(), 4); // the separator and three windows
    EXPECT_FALSE(entries[1]->isChecked());
    EXPECT_TRUE(entries[3]->isChecked()) << "the active window";
    EXPECT_EQ(entries[1]->statusTip(), QDir::toNativeSeparators(PlacementPathOf(first)));

    entries[1]->trigger();
    EXPECT_EQ(frame->activeFrame()->document()->path(), PlacementPathOf(first));
    entries = frame->windowListActions();
    EXPECT_TRUE(entries[1]->isChecked());

    frame->activeFrame()->close();
    EXPECT_EQ(frame->windowListActions().size(), 3);
}

TEST_F(MainFrameTest, TheMainWindowComesBackAsItWasLeft) {
    EXPECT_EQ(frame->size(), QSize(800, 600)) << "the first run";
    ShowActive();
    frame->resize(640, 420);
    frame->commandAction(kViewToolbar)->trigger();
    frame->commandAction(kViewStatusBar)->trigger();
    ASSERT_TRUE(frame->close());

    frame = MakeFrame();
    EXPECT_EQ(frame->size(), QSize(640, 420));
    EXPECT_TRUE(frame->toolBar()->isHidden());
    EXPECT_FALSE(frame->commandAction(kViewToolbar)->isChecked());
    EXPECT_TRUE(frame->statusBar()->isHidden());
    EXPECT_FALSE(frame->commandAction(kViewStatusBar)->isChecked());
}

TEST_F(MainFrameTest, TheTitleBarsTooltipIsTheFullPathButTheLogShowsNone) {
    TempFile log(Lines(3));
    ShowActive();
    ASSERT_TRUE(frame->OpenDocumentFile(PlacementPathOf(log)));
    CChildFrame* child = frame->activeFrame();
    const QString full = QDir::toNativeSeparators(PlacementPathOf(log));
    EXPECT_EQ(child->titleToolTip(), full);

    // Over the log: the request comes up from the view and shows nothing.
    CQuarvelView* view = child->view();
    const QPoint inView(20, 20);
    QHelpEvent overLog(QEvent::ToolTip, inView, view->viewport()->mapToGlobal(inView));
    QApplication::sendEvent(view->viewport(), &overLog);
    EXPECT_FALSE(QToolTip::isVisible());

    // Over the title bar.
    const QPoint onTitle(child->width() / 2, view->geometry().top() / 2);
    QHelpEvent overTitle(QEvent::ToolTip, onTitle, child->mapToGlobal(onTitle));
    QApplication::sendEvent(child, &overTitle);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), full);
    QToolTip::hideText();
}

TEST_F(MainFrameTest, RecentEntriesPromptWithTheFullPath) {
    TempFile log(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(PlacementPathOf(log)));
    EXPECT_EQ(frame->recentFileAction(0)->statusTip(),
              QDir::toNativeSeparators(PlacementPathOf(log)));
}

} // namespace
