// Marks: set and cleared on the caret's line or by a click in the margin,
// next and previous, listed by the filtered pane, and kept for the log
// across runs, but not for another file written under its path.
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "FilterPane.h"
#include "FilteredLinesView.h"
#include "MainFrameTestFixture.h"

#include <fstream>

using namespace CommandId;

namespace {

class MarksTest : public MainFrameTest {
protected:
    CQuarvelView* Open(CMainFrame& main) {
        EXPECT_TRUE(main.OpenDocumentFile(QString::fromStdString(log->path())));
        CQuarvelView* view = main.activeView();
        if (view != nullptr) {
            view->SetFollowing(false);
        }
        return view;
    }

    static std::vector<int> Marks(const CMainFrame& main) {
        std::vector<int> lines;
        main.activeFrame()->document()->marks().ForEachFrom(0, [&lines](int line) {
            lines.push_back(line);
            return true;
        });
        return lines;
    }

    std::unique_ptr<TempFile> log = std::make_unique<TempFile>(Lines(30));
};

TEST_F(MarksTest, CtrlF2MarksTheCaretsLineAndF2GoesFromMarkToMark) {
    CQuarvelView* view = Open(*frame);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(Enabled(kNextMark)) << "no mark yet";
    for (const int line : {20, 5, 12}) {
        view->GoToLine(line);
        frame->commandAction(kToggleMark)->trigger();
    }
    EXPECT_EQ(Marks(*frame), (std::vector<int>{5, 12, 20}));
    view->GoToLine(0);
    const std::vector<std::pair<int, int>> steps = {
        {kNextMark, 5},      {kNextMark, 12},    {kNextMark, 20},
        {kNextMark, 20}, // none after the last
        {kPreviousMark, 12}, {kPreviousMark, 5}, {kPreviousMark, 5}};
    for (const auto& [command, line] : steps) {
        ASSERT_TRUE(Enabled(command));
        frame->commandAction(command)->trigger();
        EXPECT_EQ(view->caretLine(), line) << command;
    }
    frame->commandAction(kToggleMark)->trigger(); // on line 5: cleared
    EXPECT_EQ(Marks(*frame), (std::vector<int>{12, 20}));
}

TEST_F(MarksTest, AClickInTheMarginSetsAndClearsTheLinesMark) {
    CQuarvelView* view = Open(*frame);
    ASSERT_NE(view, nullptr);
    frame->resize(800, 600);
    ShowActive();
    auto* margin = view->findChild<QWidget*>(QStringLiteral("markMargin"));
    ASSERT_NE(margin, nullptr);
    view->GoToLine(0);
    const int y = CQuarvelView::kTopMargin + 3 * view->lineHeight() + view->lineHeight() / 2;
    QTest::mouseClick(margin, Qt::LeftButton, {}, QPoint(margin->width() / 2, y));
    EXPECT_EQ(Marks(*frame), (std::vector<int>{view->topLine() + 3}));
    QTest::mouseClick(margin, Qt::LeftButton, {}, QPoint(margin->width() / 2, y));
    EXPECT_TRUE(Marks(*frame).empty());
}

TEST_F(MarksTest, ThePaneListsTheMarksAloneOrWithTheMatches) {
    CQuarvelView* view = Open(*frame);
    ASSERT_NE(view, nullptr);
    for (const int line : {3, 25}) {
        view->GoToLine(line);
        frame->commandAction(kToggleMark)->trigger();
    }
    frame->commandAction(kFilteredView)->trigger();
    FilterPane* pane = frame->activeFrame()->filterPane();
    pane->SetText(QStringLiteral("line 1"));
    pane->ScanToEnd();
    const auto listed = [pane] {
        std::vector<int> lines;
        for (int i = 0; i < pane->linesView()->lineCount(); ++i) {
            lines.push_back(pane->linesView()->LogLineOf(i));
        }
        return lines;
    };
    EXPECT_EQ(listed(), (std::vector<int>{1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
    pane->SetShows(FilterPane::Shows::Marks);
    EXPECT_EQ(listed(), (std::vector<int>{3, 25}));
    pane->SetShows(FilterPane::Shows::Both);
    EXPECT_EQ(listed(), (std::vector<int>{1, 3, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 25}));
    // A mark set meanwhile joins the list.
    view->GoToLine(7);
    frame->commandAction(kToggleMark)->trigger();
    EXPECT_EQ(listed().size(), 14U);
}

TEST_F(MarksTest, MarksAreKeptForTheLogAcrossRunsButNotForAnotherFileThere) {
    {
        CQuarvelView* view = Open(*frame);
        ASSERT_NE(view, nullptr);
        view->GoToLine(4);
        frame->commandAction(kToggleMark)->trigger();
        view->GoToLine(9);
        frame->commandAction(kToggleMark)->trigger();
        frame->close();
    }
    // The next run: the same log, grown meanwhile.
    {
        std::ofstream(log->path(), std::ios::binary | std::ios::app) << "   0:09 say: Bob: more\n";
        const auto next = MakeFrame();
        ASSERT_NE(Open(*next), nullptr);
        EXPECT_EQ(Marks(*next), (std::vector<int>{4, 9}));
        next->close();
    }
    // Another file under the path.
    std::ofstream(log->path(), std::ios::binary | std::ios::trunc) << Lines(30).substr(1);
    const auto other = MakeFrame();
    ASSERT_NE(Open(*other), nullptr);
    EXPECT_TRUE(Marks(*other).empty());
}

} // namespace
