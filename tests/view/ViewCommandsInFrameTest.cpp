// Copy, Find and Find next reached the ways a user reaches them in the main
// window: their keys, the Edit menu and the toolbar's button.
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "MainFrameTestFixture.h"
#include "SearchDialogDriver.h"
#include "ViewTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QToolBar>
#include <QWindow>
#include <functional>
#include <ostream>

using namespace CommandId;

namespace {

QAction* EditMenuCopy(CMainFrame& frame) {
    for (QAction* title : frame.menuBar()->actions()) {
        if (title->text() == QStringLiteral("&Edit") && title->menu() != nullptr) {
            for (QAction* entry : title->menu()->actions()) {
                if (entry->text().startsWith(QStringLiteral("&Copy"))) {
                    return entry;
                }
            }
        }
    }
    return nullptr;
}

struct CopyWay {
    const char* name;
    std::function<void(CMainFrame&)> give;
};

void PrintTo(const CopyWay& w, std::ostream* os) {
    *os << w.name;
}

class CopyWayTest : public MainFrameTest, public ::testing::WithParamInterface<CopyWay> {};

TEST_P(CopyWayTest, CopiesWhileASelectionIsShownAndOnlyThen) {
    TempFile log(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    ShowActive();
    CQuarvelView* view = frame->activeView();
    ASSERT_NE(view, nullptr);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));

    GetParam().give(*frame);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Enabled(kEditCopy));
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));

    view->SelectRange(1, 0, 1, 9);
    EXPECT_TRUE(Enabled(kEditCopy));
    GetParam().give(*frame);
    QCoreApplication::processEvents();
    EXPECT_EQ(clipboard->text(), QStringLiteral("   0:01 sa"));
    EXPECT_GE(clipboard->mimeData()->formats().size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CopyWayTest,
    ::testing::Values(CopyWay{"CtrlC",
                              [](CMainFrame& frame) {
                                  QTest::keyClick(frame.activeView(), Qt::Key_C,
                                                  Qt::ControlModifier);
                              }},
                      CopyWay{"CtrlInsert",
                              [](CMainFrame& frame) {
                                  QTest::keyClick(frame.activeView(), Qt::Key_Insert,
                                                  Qt::ControlModifier);
                              }},
                      CopyWay{"EditMenu",
                              [](CMainFrame& frame) {
                                  QAction* copy = EditMenuCopy(frame);
                                  ASSERT_NE(copy, nullptr);
                                  copy->trigger();
                              }},
                      CopyWay{"ToolbarButton",
                              [](CMainFrame& frame) {
                                  QWidget* button = frame.toolBar()->widgetForAction(
                                      frame.commandAction(kEditCopy));
                                  ASSERT_NE(button, nullptr);
                                  QTest::mouseClick(button, Qt::LeftButton);
                              }}),
    [](const ::testing::TestParamInfo<CopyWay>& info) { return info.param.name; });

TEST_F(MainFrameTest, F5FindsAndCtrlF5FindsTheNext) {
    TempFile log(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    ShowActive();
    CQuarvelView* view = frame->activeView();
    ASSERT_NE(view, nullptr);
    view->SetMessageSink(messages);
    // A followed log opens at its end: the search starts from the top.
    QTest::keyClick(view, Qt::Key_Home);
    {
        SearchDialogDriver driver(view->searchDialog(), {"Alice"});
        QTest::keyClick(view, Qt::Key_F5);
        EXPECT_EQ(driver.opened, 1);
    }
    EXPECT_TRUE(view->selectionActive());
    EXPECT_EQ(view->selection(), (SelectionBounds{0, 13, 0, 17}));
    EXPECT_TRUE(Enabled(kEditCopy));

    // The offscreen platform leaves the closed dialog the active window
    // (a desktop hands activation back to the main window), and the keys'
    // shortcuts work in the active window only.
    frame->windowHandle()->requestActivate();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), frame.get());
    QTest::keyClick(view, Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(view->selection(), (SelectionBounds{1, 13, 1, 17}));
    QTest::keyClick(view, Qt::Key_F5, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(view->selection(), (SelectionBounds{2, 13, 2, 17}));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], (Message{"No more matches", "Quarvel", MessageIcon::None}));
}

// Ctrl+F and F3 are the desktop's usual keys for Find and Find next;
// Shift+F3 finds the previous hit.
TEST_F(MainFrameTest, CtrlFFindsF3FindsTheNextAndShiftF3ThePrevious) {
    TempFile log(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log.path())));
    ShowActive();
    CQuarvelView* view = frame->activeView();
    ASSERT_NE(view, nullptr);
    view->SetMessageSink(messages);
    QTest::keyClick(view, Qt::Key_Home);
    {
        SearchDialogDriver driver(view->searchDialog(), {"Alice"});
        QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
        EXPECT_EQ(driver.opened, 1);
    }
    EXPECT_EQ(view->selection(), (SelectionBounds{0, 13, 0, 17}));
    frame->windowHandle()->requestActivate();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), frame.get());
    QTest::keyClick(view, Qt::Key_F3);
    QTest::keyClick(view, Qt::Key_F3);
    EXPECT_EQ(view->selection(), (SelectionBounds{2, 13, 2, 17}));
    QTest::keyClick(view, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(view->selection(), (SelectionBounds{1, 13, 1, 17}));
    // Find next goes on the Find's way again.
    QTest::keyClick(view, Qt::Key_F3);
    EXPECT_EQ(view->selection(), (SelectionBounds{2, 13, 2, 17}));
    QTest::keyClick(view, Qt::Key_F3);
    EXPECT_EQ(messages.messages,
              (std::vector<Message>{{"No more matches", "Quarvel", MessageIcon::None}}));
}

} // namespace
