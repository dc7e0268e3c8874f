// The filtered pane under a log view: shown from the View menu, filled by
// the match index, a click or Enter moving the log view, its own copy, F6
// between the panes, growing with the log, one player's lines across his
// renames, and its height kept.
#include "CPlayerInfoDlg.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "FilterPane.h"
#include "FilteredLinesView.h"
#include "MainFrameTestFixture.h"
#include "MatchIndex.h"
#include "OverviewStrip.h"
#include "UserSettings.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <fstream>

using namespace CommandId;

namespace {

constexpr char kBobGuid[] = "0123456789ABCDEF0123456789ABCDEF";

// Bob connects, renames himself to Robert, chats and is killed; Ann chats.
constexpr char kPlayersLog[] =
    "   0:01 ClientConnect: 3 - 10.0.0.7:27960 [0123456789ABCDEF0123456789ABCDEF]\n"
    "   0:02 ClientUserinfoChanged: 3 n\\Bob\\t\\1\\identity\\x\n"
    "   0:03 ClientConnect: 4 - 10.0.0.8:27960 [FEDCBA9876543210FEDCBA9876543210]\n"
    "   0:04 ClientUserinfoChanged: 4 n\\Ann\\t\\2\\identity\\x\n"
    "   0:05 say: Bob: hello\n"
    "   0:06 ClientUserinfoChanged: 3 n\\Robert\\t\\1\\identity\\x\n"
    "   0:07 say: Ann: hi there\n"
    "   0:08 Kill: 4 3 1: Ann killed Robert by MOD_KNIFE\n"
    "   0:09 say: Robert: ouch\n";

void AppendToLog(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << bytes;
}

class FilteredPaneTest : public MainFrameTest {
protected:
    void Open(const std::string& bytes) {
        log = std::make_unique<TempFile>(bytes);
        ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(log->path())));
        child = frame->activeFrame();
        ASSERT_NE(child, nullptr);
        pane = child->filterPane();
        ASSERT_NE(pane, nullptr);
    }

    void ShowPane() {
        ASSERT_TRUE(Enabled(kFilteredView));
        frame->commandAction(kFilteredView)->trigger();
        ASSERT_TRUE(child->filteredPaneShown());
    }

    // The log's line numbers (from 0) the pane lists.
    std::vector<int> Listed() const {
        std::vector<int> lines;
        const FilteredLinesView* list = pane->linesView();
        for (int i = 0; i < list->lineCount(); ++i) {
            lines.push_back(list->LogLineOf(i));
        }
        return lines;
    }

    std::unique_ptr<TempFile> log;
    CChildFrame* child = nullptr;
    FilterPane* pane = nullptr;
};

TEST_F(FilteredPaneTest, TheViewMenuShowsAndHidesThePaneUnderTheLog) {
    Open(kPlayersLog);
    EXPECT_FALSE(child->filteredPaneShown());
    EXPECT_FALSE(frame->commandAction(kFilteredView)->isChecked());
    EXPECT_FALSE(Enabled(kNextPane)) << "one pane: F6 has nowhere to go";
    ShowPane();
    EXPECT_TRUE(frame->commandAction(kFilteredView)->isChecked());
    EXPECT_EQ(child->splitter()->indexOf(pane), 1) << "under the log view";
    EXPECT_TRUE(Enabled(kNextPane));
    frame->commandAction(kFilteredView)->trigger();
    EXPECT_FALSE(child->filteredPaneShown());
}

// Each criterion of the bar, and Exclude, against the lines they take.
TEST_F(FilteredPaneTest, TheBarsCriteriaChooseTheLines) {
    Open(kPlayersLog);
    ShowPane();
    EXPECT_EQ(pane->linesView()->lineCount(), 0) << "no criterion, no lines";

    pane->SetText(QStringLiteral("say:"));
    pane->ScanToEnd();
    EXPECT_EQ(Listed(), (std::vector<int>{4, 6, 8}));
    EXPECT_EQ(pane->countText(), "3 lines");

    pane->SetText(QStringLiteral("R[a-z]+t"), true);
    pane->ScanToEnd();
    EXPECT_EQ(Listed(), (std::vector<int>{5, 7, 8}));

    pane->SetText(QStringLiteral("(unclosed"), true);
    EXPECT_EQ(pane->linesView()->lineCount(), 0);
    EXPECT_EQ(pane->countText(), "Bad regular expression supplied");

    pane->SetText({});
    pane->findChild<QToolButton*>(QStringLiteral("filterKindKills"))->click();
    pane->ScanToEnd();
    EXPECT_EQ(Listed(), (std::vector<int>{7}));
    pane->findChild<QToolButton*>(QStringLiteral("filterKindConnects"))->click();
    pane->ScanToEnd();
    EXPECT_EQ(Listed(), (std::vector<int>{0, 2, 7}));
    pane->findChild<QCheckBox*>(QStringLiteral("filterExclude"))->click();
    pane->ScanToEnd();
    EXPECT_EQ(Listed(), (std::vector<int>{1, 3, 4, 5, 6, 8}));
}

TEST_F(FilteredPaneTest, OnePlayersLinesAcrossHisRenames) {
    Open(kPlayersLog);
    child->ShowLinesOfPlayer(QString::fromLatin1(kBobGuid), QStringLiteral("Bob"));
    ASSERT_TRUE(child->filteredPaneShown());
    pane->ScanToEnd();
    // His connect, both names, his chat under each, the kill of him.
    EXPECT_EQ(Listed(), (std::vector<int>{0, 1, 4, 5, 7, 8}));
}

TEST_F(FilteredPaneTest, FilterByThisPlayerFromTheLogView) {
    Open(kPlayersLog);
    CQuarvelView* view = frame->activeView();
    view->SelectRange(4, 13, 4, 15); // "Bob" in his chat line, the caret on its B
    ASSERT_TRUE(Enabled(kFilterByPlayer));
    frame->commandAction(kFilterByPlayer)->trigger();
    ASSERT_TRUE(child->filteredPaneShown());
    pane->ScanToEnd();
    EXPECT_EQ(Listed(), (std::vector<int>{0, 1, 4, 5, 7, 8}));

    view->SelectRange(6, 18, 6, 22); // "hi th"
    ASSERT_TRUE(Enabled(kFilterBySelection));
    frame->commandAction(kFilterBySelection)->trigger();
    EXPECT_EQ(pane->textEdit()->text(), "hi th");
}

TEST_F(FilteredPaneTest, PlayerInfosShowHisLinesFillsThePane) {
    Open(kPlayersLog);
    frame->activeView()->SelectRange(8, 13, 8, 18); // "Robert" in his chat line
    ModalWatcher dialogs([](QWidget* modal) {
        auto* info = qobject_cast<CPlayerInfoDlg*>(modal);
        auto* button = info != nullptr
                           ? info->findChild<QPushButton*>(QStringLiteral("showLinesButton"))
                           : nullptr;
        if (button != nullptr && button->isEnabled()) {
            button->click();
        }
    });
    frame->commandAction(kPlayerInfo)->trigger();
    ASSERT_EQ(dialogs.seenClasses, (std::vector<QString>{"CPlayerInfoDlg"}));
    ASSERT_TRUE(child->filteredPaneShown());
    pane->ScanToEnd();
    EXPECT_EQ(Listed(), (std::vector<int>{0, 1, 4, 5, 7, 8}));
}

TEST_F(FilteredPaneTest, AClickOrEnterMovesTheLogViewToTheLine) {
    Open(Lines(200));
    ShowActive();
    ShowPane();
    CQuarvelView* view = frame->activeView();
    view->SetFollowing(false);
    view->GoToLine(0);
    pane->SetText(QStringLiteral("line 15"));
    pane->ScanToEnd();
    ASSERT_EQ(Listed(), (std::vector<int>{15, 150, 151, 152, 153, 154, 155, 156, 157, 158, 159}));
    FilteredLinesView* list = pane->linesView();
    list->GoToLine(0);
    const QPoint second(FilteredLinesView::kLeftMargin + 5,
                        FilteredLinesView::kTopMargin + (1 - list->topLine()) * list->lineHeight() +
                            list->lineHeight() / 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(view->caretLine(), 150);
    EXPECT_GE(150, view->topLine());
    EXPECT_LT(150, view->topLine() + std::max(view->visibleLines(), 1));

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(view->caretLine(), 151);
    EXPECT_TRUE(list->hasFocus()) << "the list keeps the focus";
}

TEST_F(FilteredPaneTest, CopyInThePaneCopiesItsLinesAndF6MovesBetweenThePanes) {
    Open(kPlayersLog);
    ShowActive();
    ShowPane();
    pane->SetText(QStringLiteral("say:"));
    pane->ScanToEnd();
    CQuarvelView* view = frame->activeView();
    view->setFocus();
    QTest::keyClick(frame.get(), Qt::Key_F6);
    FilteredLinesView* list = pane->linesView();
    ASSERT_TRUE(list->hasFocus());
    frame->commandAction(kEditSelectAll)->trigger();
    EXPECT_TRUE(list->selectionActive());
    EXPECT_FALSE(view->selectionActive()) << "the command went to the pane";
    frame->commandAction(kEditCopy)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "   0:05 say: Bob: hello\n   0:07 say: Ann: hi there\n   0:09 say: Robert: ouch");
    QTest::keyClick(frame.get(), Qt::Key_F6);
    EXPECT_TRUE(view->hasFocus());
}

TEST_F(FilteredPaneTest, NewMatchesAppearAsTheLogGrowsAndAReloadStartsAgain) {
    Open(Lines(4));
    ShowPane();
    pane->SetText(QStringLiteral("line 1"));
    pane->ScanToEnd();
    ASSERT_EQ(Listed(), (std::vector<int>{1}));
    AppendToLog(log->path(), Lines(12).substr(Lines(4).size()));
    child->document()->CheckFile();
    QTRY_COMPARE(pane->linesView()->lineCount(), 3);
    EXPECT_EQ(Listed(), (std::vector<int>{1, 10, 11}));

    // Truncated and written anew: the list is the new file's.
    std::ofstream(log->path(), std::ios::binary | std::ios::trunc) << Lines(2);
    child->document()->CheckFile();
    QTRY_COMPARE(pane->linesView()->lineCount(), 1);
    EXPECT_EQ(Listed(), (std::vector<int>{1}));
}

TEST_F(FilteredPaneTest, ThePaneShowsAtTheHeightItLastHad) {
    UserSettings().setValue(QStringLiteral("Settings/FilteredPaneHeight"), 150);
    Open(Lines(4));
    child->resize(600, 500);
    ShowActive();
    ShowPane();
    EXPECT_NEAR(pane->height(), 150, 10);
}

} // namespace

namespace {

struct RowCase {
    int row, height, lines, first, end;
};

// Each pixel row of the overview stands for its share of the log, and for
// one line at least.
TEST(OverviewStripRows, EachRowStandsForItsShareOfTheLog) {
    for (const RowCase& c : {RowCase{0, 100, 1000, 0, 10}, RowCase{99, 100, 1000, 990, 1000},
                             RowCase{5, 100, 10, 0, 1}, RowCase{50, 100, 10, 5, 6},
                             RowCase{3, 7, 2000000000, 857142857, 1142857142},
                             RowCase{0, 0, 10, 0, 0}, RowCase{0, 10, 0, 0, 0}}) {
        EXPECT_EQ(OverviewStrip::LinesOfRow(c.row, c.height, c.lines),
                  std::make_pair(c.first, c.end))
            << c.row << " of " << c.height << " over " << c.lines;
    }
}

TEST_F(FilteredPaneTest, TheOverviewShowsWhereTheMatchesAreAndAClickGoesThere) {
    Open(Lines(200));
    frame->resize(800, 600);
    ShowActive();
    ShowPane();
    pane->SetText(QStringLiteral("line 15"));
    pane->ScanToEnd();
    CQuarvelView* view = frame->activeView();
    view->SetFollowing(false);
    OverviewStrip* strip = view->overviewStrip();
    ASSERT_NE(strip, nullptr);
    ASSERT_GT(strip->height(), 50);
    const QImage image = strip->grab().toImage();
    const int matchRow = strip->height() * 150 / 200 + 1;
    EXPECT_EQ(image.pixel(2, matchRow) & 0xFFFFFF, 0xE0E000U) << "a match there";
    EXPECT_NE(image.pixel(2, strip->height() / 2) & 0xFFFFFF, 0xE0E000U) << "none at line 100";

    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(3, strip->height() * 150 / 200));
    EXPECT_NEAR(view->caretLine(), 150, 2);
}

} // namespace
