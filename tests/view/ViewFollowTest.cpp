// Views of a log that a writer appends to, truncates or deletes: the view
// whose end is in view follows, a view scrolled elsewhere stays put, and a
// reload starts every view afresh.
#include "AppConfig.h"
#include "CommandIds.h"
#include "ViewTestSupport.h"

#include <QSignalSpy>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

void Append(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << bytes;
}

// Sizes the view so that its client area is `client`; the scroll area shows
// or hides its bars on a queued call.
void FitClientArea(CQuarvelView& view, const QSize& client) {
    QCoreApplication::processEvents();
    for (int i = 0; i < 3 && view.viewport()->size() != client; ++i) {
        view.resize(view.size() - view.viewport()->size() + client);
        QCoreApplication::processEvents();
    }
}

// The configuration the views read: none of their following needs one.
const AppConfig& NoConfiguration() {
    static const AppConfig config;
    return config;
}

// A view as the frame makes one: sized to `rows` rows, then updated.
std::unique_ptr<CQuarvelView> MakeView(CQuarvelDoc& document, int rows) {
    auto view = std::make_unique<CQuarvelView>(document, NoConfiguration());
    view->setFocusPolicy(Qt::NoFocus);
    view->resize(400, 300);
    view->show();
    const QSize client(CQuarvelView::kLeftMargin + 40 * view->charWidth(),
                       CQuarvelView::kTopMargin + rows * view->lineHeight());
    FitClientArea(*view, client);
    view->OnUpdate();
    // The horizontal bar shows once the view knows its lines are wider.
    FitClientArea(*view, client);
    return view;
}

class ViewFollowTest : public ::testing::Test {
protected:
    ViewFollowTest() : file(PlainLines(30)) {
        document.Open(QString::fromStdString(file.path()));
        atEnd = MakeView(document, 10);
        elsewhere = MakeView(document, 10);
        // Scrolled back to the top, following still on.
        elsewhere->OnVScroll(QAbstractSlider::SliderToMinimum);
    }

    // What the watcher would do once the file has changed.
    void Grow(int lines) {
        Append(file.path(), PlainLines(30 + lines).substr(PlainLines(30).size()));
        document.CheckFile();
    }

    TempFile file;
    CQuarvelDoc document;
    std::unique_ptr<CQuarvelView> atEnd;
    std::unique_ptr<CQuarvelView> elsewhere;
};

TEST_F(ViewFollowTest, TheViewAtTheEndFollowsAndTheOtherStaysPut) {
    elsewhere->OnVScroll(QAbstractSlider::SliderPageStepAdd); // lines 10..19
    elsewhere->SelectRange(12, 2, 13, 5);
    const SelectionBounds selection = elsewhere->selection();
    const int caretLine = elsewhere->caretLine();
    ASSERT_EQ(atEnd->topLine(), 20);

    Grow(5);
    EXPECT_EQ(atEnd->lineCount(), 35);
    EXPECT_EQ(atEnd->topLine(), 25);
    EXPECT_EQ(atEnd->verticalScrollBar()->maximum(), 25);
    EXPECT_EQ(atEnd->verticalScrollBar()->value(), 25);

    EXPECT_EQ(elsewhere->lineCount(), 35);
    EXPECT_EQ(elsewhere->verticalScrollBar()->maximum(), 25);
    EXPECT_EQ(elsewhere->topLine(), 10);
    EXPECT_TRUE(elsewhere->selectionActive());
    EXPECT_EQ(elsewhere->selection(), selection);
    EXPECT_EQ(elsewhere->caretLine(), caretLine);
}

TEST_F(ViewFollowTest, AFollowedLogOpensAtItsEndWithTheCaretAfterItsLastCharacter) {
    EXPECT_TRUE(atEnd->following());
    EXPECT_EQ(atEnd->topLine(), 20);
    EXPECT_EQ(atEnd->verticalScrollBar()->value(), 20);
    EXPECT_EQ(atEnd->caretLine(), 29);
    EXPECT_EQ(atEnd->caretColumn(), 60);
}

TEST_F(ViewFollowTest, ALogShorterThanTheWindowFollowsFromTheTop) {
    TempFile small(PlainLines(3));
    CQuarvelDoc doc;
    doc.Open(QString::fromStdString(small.path()));
    auto view = MakeView(doc, 10);
    Append(small.path(), PlainLines(20).substr(PlainLines(3).size()));
    doc.CheckFile();
    EXPECT_EQ(view->lineCount(), 20);
    EXPECT_EQ(view->topLine(), 10);
}

TEST_F(ViewFollowTest, FollowingTurnedOffKeepsTheViewWhereItIs) {
    atEnd->OnCommand(CommandId::kFollowEnd);
    EXPECT_FALSE(atEnd->following());
    EXPECT_FALSE(atEnd->IsCommandChecked(CommandId::kFollowEnd));
    Grow(5);
    EXPECT_EQ(atEnd->topLine(), 20);
    // Turned on again, it goes to the end at once.
    atEnd->OnCommand(CommandId::kFollowEnd);
    EXPECT_TRUE(atEnd->IsCommandChecked(CommandId::kFollowEnd));
    EXPECT_EQ(atEnd->topLine(), 25);
}

TEST_F(ViewFollowTest, AppendedLinesAreClassifiedOnceForEveryView) {
    Append(file.path(),
           "   0:01 ClientConnect: 3 - 1.2.3.4:5 [0123456789ABCDEF0123456789ABCDEF]\n");
    document.CheckFile();
    EXPECT_EQ(document.model().classifiedCount(), 31);
    EXPECT_EQ(KindNumber(document.model().Line(30).segments[3].kind()), 12);
    EXPECT_EQ(document.model().playerSlots().connectionCount(), 1);
    // A third view finds nothing to classify.
    auto third = MakeView(document, 10);
    EXPECT_EQ(document.model().playerSlots().connectionCount(), 1);
}

TEST_F(ViewFollowTest, ATruncatedLogReloadsEveryViewToTheTopOrTheEnd) {
    atEnd->SelectRange(25, 0, 26, 3);
    elsewhere->OnCommand(CommandId::kFollowEnd); // not following
    QSignalSpy reloaded(&document, &CQuarvelDoc::reloaded);
    std::filesystem::resize_file(file.path(), 0);
    Append(file.path(), PlainLines(15));
    document.CheckFile();
    ASSERT_EQ(reloaded.count(), 1);
    EXPECT_EQ(document.fileStatus(), "Log truncated: reloaded");
    EXPECT_EQ(elsewhere->lineCount(), 15);
    EXPECT_EQ(elsewhere->topLine(), 0);
    EXPECT_EQ(elsewhere->caretLine(), 0);
    EXPECT_EQ(atEnd->topLine(), 5); // following: the end
    EXPECT_FALSE(atEnd->selectionActive());
}

TEST_F(ViewFollowTest, ADeletedLogKeepsItsLinesAndSaysSo) {
    std::filesystem::remove(file.path());
    document.CheckFile();
    EXPECT_EQ(document.fileStatus(), "Log deleted");
    EXPECT_EQ(atEnd->lineCount(), 30);
    EXPECT_EQ(document.model().LineText(29).substr(0, 9), "line 0029");
    Append(file.path(), PlainLines(2));
    document.CheckFile();
    EXPECT_EQ(document.fileStatus(), "Log replaced: reloaded");
    EXPECT_EQ(atEnd->lineCount(), 2);
}

TEST_F(ViewFollowTest, TheWatcherNoticesAWriteWithoutBeingAsked) {
    QSignalSpy appended(&document, &CQuarvelDoc::linesAppended);
    Append(file.path(), PlainLines(31).substr(PlainLines(30).size()));
    // Whether the notification or the look once a second finds it.
    ASSERT_TRUE(appended.wait(3000));
    EXPECT_EQ(appended.front().front().toInt(), 30);
    EXPECT_EQ(atEnd->lineCount(), 31);
}

TEST_F(ViewFollowTest, ChangesWaitWhileARunWalksTheLines) {
    QSignalSpy reloaded(&document, &CQuarvelDoc::reloaded);
    {
        const CQuarvelDoc::ChangesDeferred deferred(document);
        std::filesystem::resize_file(file.path(), 0);
        document.CheckFile();
        EXPECT_EQ(reloaded.count(), 0);
        EXPECT_EQ(document.model().lineCount(), 30);
    }
    ASSERT_TRUE(reloaded.wait(3000));
    EXPECT_EQ(document.model().lineCount(), 0);
}

} // namespace
