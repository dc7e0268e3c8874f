// The log window's newer commands: the caret's place in the
// status bar, the context menu, Copy as HTML, Reload, Cascade after Tile,
// and Select All on a log that was empty when it was loaded.
#include "CPlayerInfoDlg.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "MainFrameTestFixture.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QSignalSpy>
#include <QStatusBar>
#include <fstream>

using namespace CommandId;

namespace {

constexpr char kPlayerLog[] =
    "   0:01 ClientConnect: 3 - 10.0.0.7:27960 [0123456789ABCDEF0123456789ABCDEF]\n"
    "   0:02 ClientUserinfoChanged: 3 n\\Bob\\t\\1\\identity\\x\n"
    "   0:03 say: Bob: hello\n";

void Append(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << bytes;
}

// Shows the next popup menu's entries (separators as "-", disabled ones in
// brackets) and triggers the entry `choose`, if given, or closes it.
class PopupWatcher {
public:
    explicit PopupWatcher(QString choose = {}) : choose_(std::move(choose)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(0);
    }

    QStringList entries;

private:
    void Look() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || !entries.isEmpty()) {
            return;
        }
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
            if (!action->isSeparator() && !action->isEnabled()) {
                text = "[" + text + "]";
            }
            entries << text;
            if (!choose_.isEmpty() && action->text() == choose_) {
                chosen = action;
            }
        }
        menu->close();
        if (chosen != nullptr) {
            chosen->trigger();
        }
    }

    QString choose_;
    QTimer timer_;
};

class WindowCommandsTest : public MainFrameTest {
protected:
    CQuarvelView* Open(const std::string& bytes) {
        log = std::make_unique<TempFile>(bytes);
        EXPECT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log->path())));
        CQuarvelView* view = frame->activeView();
        if (view != nullptr) {
            view->SetMessageSink(messages);
        }
        return view;
    }

    // The middle of the cell of (line, column) in the view's window.
    static QPoint PointAt(const CQuarvelView& view, int line, int column) {
        return {CQuarvelView::kLeftMargin + (column - view.firstColumn()) * view.charWidth() +
                    view.charWidth() / 2,
                CQuarvelView::kTopMargin + (line - view.topLine()) * view.lineHeight() +
                    view.lineHeight() / 2};
    }

    // A right-click at (line, column), as the platform sends it.
    static void RightClick(CQuarvelView& view, int line, int column) {
        const QPoint point = PointAt(view, line, column);
        QContextMenuEvent event(QContextMenuEvent::Mouse, point,
                                view.viewport()->mapToGlobal(point));
        QApplication::sendEvent(view.viewport(), &event);
    }

    std::unique_ptr<TempFile> log;
};

TEST_F(WindowCommandsTest, TheStatusBarShowsTheCaretsLineAndColumn) {
    CQuarvelView* view = Open(Lines(3));
    ASSERT_NE(view, nullptr);
    ShowActive();
    // A followed log opens with the caret after its last character.
    EXPECT_EQ(frame->caretPane()->text(), "Ln 3, Col 27");
    EXPECT_TRUE(frame->caretPane()->isVisibleTo(frame->statusBar()));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, PointAt(*view, 1, 5));
    EXPECT_EQ(frame->caretPane()->text(), "Ln 2, Col 6");
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(frame->caretPane()->text(), "Ln 1, Col 1");
    frame->activeFrame()->close();
    EXPECT_FALSE(frame->caretPane()->isVisibleTo(frame->statusBar()));
}

TEST_F(WindowCommandsTest, TheContextMenuOffersTheCommandsAndMovesTheCaretToTheClick) {
    CQuarvelView* view = Open(kPlayerLog);
    ASSERT_NE(view, nullptr);
    ShowActive();
    {
        PopupWatcher watcher;
        RightClick(*view, 2, 13); // on "Bob" in the chat line
        EXPECT_EQ(watcher.entries,
                  (QStringList{"[&Copy\tCtrl+C]", "[Copy as &HTML]", "Select &All\tCtrl+A", "-",
                               "Toggle &mark\tCtrl+F2", "Filter by this &player",
                               "[Filter by the &selected text]", "&Player Info"}));
    }
    EXPECT_EQ(view->caretLine(), 2);
    EXPECT_EQ(view->caretColumn(), 13);
    {
        PopupWatcher watcher;
        RightClick(*view, 2, 2); // on the time
        EXPECT_EQ(watcher.entries.last(), "[&Player Info]");
    }
}

TEST_F(WindowCommandsTest, PlayerInfoFromTheContextMenuShowsThePlayerClickedOn) {
    CQuarvelView* view = Open(kPlayerLog);
    ASSERT_NE(view, nullptr);
    ShowActive();
    QString guid;
    ModalWatcher dialogs([&](QWidget* modal) {
        if (auto* info = qobject_cast<CPlayerInfoDlg*>(modal)) {
            guid = QString::fromStdString(info->guidText());
        }
    });
    PopupWatcher watcher(QStringLiteral("&Player Info"));
    RightClick(*view, 2, 13);

    EXPECT_EQ(guid, "0123456789ABCDEF0123456789ABCDEF");
}

TEST_F(WindowCommandsTest, ARightClickInsideTheSelectionKeepsItForCopy) {
    CQuarvelView* view = Open(Lines(3));
    ASSERT_NE(view, nullptr);
    ShowActive();
    view->SelectRange(1, 0, 1, 9);
    {
        PopupWatcher watcher;
        RightClick(*view, 1, 4);
        ASSERT_FALSE(watcher.entries.isEmpty());
        EXPECT_EQ(watcher.entries[0], "&Copy\tCtrl+C");
    }
    EXPECT_TRUE(view->selectionActive());
    EXPECT_EQ(view->selection(), (SelectionBounds{1, 0, 1, 9}));
    {
        PopupWatcher watcher;
        RightClick(*view, 2, 4);
    }
    EXPECT_FALSE(view->selectionActive());
}

TEST_F(WindowCommandsTest, CopyAsHtmlPutsTheColouredHtmlAsText) {
    CQuarvelView* view = Open(Lines(3));
    ASSERT_NE(view, nullptr);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    EXPECT_FALSE(Enabled(kEditCopyHtml)) << "nothing is selected";
    view->SelectRange(1, 13, 1, 17); // "Alice"
    ASSERT_TRUE(Enabled(kEditCopyHtml));
    frame->commandAction(kEditCopyHtml)->trigger();
    const QString html = clipboard->text();
    EXPECT_TRUE(html.startsWith("<!DOCTYPE")) << html.toStdString();
    EXPECT_TRUE(html.contains("<HTML>"));
    EXPECT_TRUE(html.contains("Alice</FONT>")) << html.toStdString();
    EXPECT_FALSE(html.contains("Version:0.9")) << "the header is the clipboard format's";
}

TEST_F(WindowCommandsTest, ReloadReadsTheFileAgainAndStartsTheViewAfresh) {
    CQuarvelView* view = Open(Lines(3));
    ASSERT_NE(view, nullptr);
    CQuarvelDoc* document = frame->activeFrame()->document();
    view->SetFollowing(false);
    view->SelectRange(1, 0, 1, 4);
    Append(log->path(), Lines(5).substr(Lines(3).size()));
    QSignalSpy reloaded(document, &CQuarvelDoc::reloaded);

    ASSERT_TRUE(Enabled(kFileReload));
    frame->commandAction(kFileReload)->trigger();
    EXPECT_EQ(reloaded.count(), 1);
    EXPECT_EQ(view->lineCount(), 5);
    EXPECT_EQ(document->model().classifiedCount(), 5);
    EXPECT_FALSE(view->selectionActive());
    EXPECT_EQ(view->topLine(), 0);
    EXPECT_EQ(document->fileStatus(), "Log reloaded");
}

TEST_F(WindowCommandsTest, CascadeAfterTileGivesWindowsOfANewWindowsSize) {
    TempFile first(Lines(3));
    TempFile second(Lines(3));
    TempFile third(Lines(3));
    frame->resize(900, 700);
    frame->show();
    for (const TempFile* file : {&first, &second, &third}) {
        ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(file->path())));
    }
    const CChildFrame* active = frame->activeFrame();
    frame->commandAction(kWindowTile)->trigger();
    frame->commandAction(kWindowCascade)->trigger();
    const QSize area = frame->mdiArea()->viewport()->size();
    const QList<CChildFrame*> windows = frame->childFrames();
    ASSERT_EQ(windows.size(), 3);
    for (int i = 0; i < windows.size(); ++i) {
        EXPECT_EQ(windows[i]->size(), QSize(area.width() * 3 / 4, area.height() * 3 / 4)) << i;
        if (i > 0) {
            EXPECT_GT(windows[i]->y(), windows[i - 1]->y()) << "each below the one before";
        }
    }
    EXPECT_EQ(frame->activeFrame(), active);
}

// A log that was empty when it was loaded gets lines: Select All (Ctrl+A)
// works at once, without a menu opened first, and Copy then puts them on
// the clipboard rather than leaving what was there.
TEST_F(WindowCommandsTest, SelectAllWorksOnceAnEmptyLogHasLines) {
    CQuarvelView* view = Open("");
    ASSERT_NE(view, nullptr);
    ShowActive();
    EXPECT_FALSE(Enabled(kEditSelectAll));
    Append(log->path(), Lines(2));
    frame->activeFrame()->document()->CheckFile();
    ASSERT_EQ(view->lineCount(), 2);

    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("earlier evidence"));
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(view->selectionActive());
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QString::fromStdString(Lines(2)).chopped(1));
}

} // namespace
