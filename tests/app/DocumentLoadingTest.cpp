// A large log opened in the main window loads in slices: the window is there
// at once and keeps turning its event loop, the first screen is classified
// first, what is not classified yet is plain, Cancel closes the log, and the
// end is what opening it in one go gives.
#include "DocumentLoading.h"

#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "LogGenerator.h"
#include "MainFrameTestFixture.h"
#include "ModelDump.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <fstream>

namespace {

// Three times the first part, so that at least two slices follow the open.
const std::string& LargeLog() {
    static const std::string bytes = GenerateLog(3 * kFirstLoadPartBytes, 5);
    return bytes;
}

std::string WholeDump(const std::string& path) {
    LogModel whole;
    whole.Load(path);
    whole.ClassifyUpTo(whole.lineCount());
    return DumpModel(whole);
}

class DocumentLoadingTest : public MainFrameTest {
protected:
    void Open() {
        ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(file.path())));
        view = frame->activeView();
        ASSERT_NE(view, nullptr);
        document = frame->activeFrame()->document();
    }

    TempFile file{LargeLog()};
    CQuarvelView* view = nullptr;
    CQuarvelDoc* document = nullptr;
};

TEST_F(DocumentLoadingTest, TheWindowComesAtOnceAndTheLogLoadsInSlices) {
    frame->show();
    Open();
    // The open returned with the first part split and nothing classified.
    ASSERT_TRUE(document->loading());
    const LogModel& model = document->model();
    EXPECT_LT(model.lineCount(), model.fileSize() / 20);
    auto* progress = frame->findChild<QWidget*>(QStringLiteral("loadingProgress"));
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());

    QSignalSpy slices(document, &CQuarvelDoc::loadProgressed);
    QSignalSpy finished(document, &CQuarvelDoc::loadFinished);
    // The first slice classifies from the top, the first screen of the
    // log among them.
    ASSERT_TRUE(slices.wait(5000));
    EXPECT_TRUE(model.IsClassified(view->visibleLines()));
    if (finished.isEmpty()) {
        ASSERT_TRUE(finished.wait(30000));
    }
    // Followed (as a log opens), the view kept the end in view as the lines
    // came in.
    EXPECT_EQ(view->topLine(), view->lineCount() - view->visibleLines());
    EXPECT_FALSE(document->loading());
    EXPECT_EQ(document->loadedPermille(), 1000);
    EXPECT_EQ(view->lineCount(), model.lineCount());
    EXPECT_EQ(DumpModel(model), WholeDump(file.path()));
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->findChild<QWidget*>(QStringLiteral("loadingProgress")), nullptr);
}

// The loading's bar and Cancel where the message pane is: its whole room,
// whether the log was opened before the main window first showed (from the
// command line) or after (File > Open), and never over the panes beside it.
class LoadingProgressPlaceTest : public DocumentLoadingTest,
                                 public ::testing::WithParamInterface<bool> {
protected:
    // Runs the layouts the show and the open asked for, and nothing else:
    // the loading's slices wait.
    static void LayOut() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        }
    }
};

TEST_P(LoadingProgressPlaceTest, TakesTheMessagePanesRoomAndCoversNoOtherPane) {
    const bool openedBeforeShown = GetParam();
    frame->resize(800, 600);
    if (openedBeforeShown) {
        Open();
        frame->show();
    } else {
        frame->show();
        Open();
    }
    LayOut();
    ASSERT_TRUE(document->loading());
    auto* progress = frame->findChild<QWidget*>(QStringLiteral("loadingProgress"));
    auto* cancel = frame->findChild<QPushButton*>(QStringLiteral("loadingCancel"));
    ASSERT_NE(progress, nullptr);
    ASSERT_NE(cancel, nullptr);
    QStatusBar* bar = frame->statusBar();
    EXPECT_TRUE(progress->isVisible());
    EXPECT_GE(progress->width(), bar->width() / 3);
    EXPECT_GE(cancel->width(), cancel->minimumSizeHint().width());
    const QRect cancelInBar(cancel->mapTo(bar, QPoint(0, 0)), cancel->size());
    for (const QLabel* pane : bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (pane->isVisible()) {
            EXPECT_FALSE(pane->geometry().intersects(progress->geometry()))
                << pane->objectName().toStdString();
            EXPECT_FALSE(pane->geometry().intersects(cancelInBar))
                << pane->objectName().toStdString();
        }
    }
    EXPECT_FALSE(frame->messagePane()->isVisible()) << "the bar stands in its place";
    document->FinishLoading();
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->messagePane()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Opened, LoadingProgressPlaceTest, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "BeforeTheWindowShows" : "AfterTheWindowShows");
});

TEST_F(DocumentLoadingTest, LinesNotClassifiedYetArePlainAndNameNoPlayer) {
    Open();
    ASSERT_TRUE(document->loading());
    const LogModel& model = document->model();
    ASSERT_FALSE(model.IsClassified(0));
    // Line 2 of the generated log connects a player: plain until classified.
    const LineView line = model.Line(2);
    EXPECT_EQ(line.segments[1].kind(), LineKind::EndMark);
    EXPECT_EQ(line.segments[0].player, nullptr);
    EXPECT_EQ(line.visibleLength, line.byteLength);
}

TEST_F(DocumentLoadingTest, CancelClosesTheLogsWindows) {
    frame->show();
    Open();
    ASSERT_TRUE(document->loading());
    auto* cancel = frame->findChild<QPushButton*>(QStringLiteral("loadingCancel"));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    cancel->click();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->childFrames().isEmpty());
    EXPECT_EQ(frame->documents().documentCount(), 0);
}

TEST_F(DocumentLoadingTest, AChangeOfTheFileWaitsUntilTheLogIsIn) {
    Open();
    ASSERT_TRUE(document->loading());
    {
        std::ofstream out(file.path(), std::ios::binary | std::ios::app);
        out << "  9:59 say: one more\n";
    }
    const int before = document->model().lineCount();
    document->CheckFile();
    EXPECT_EQ(document->model().lineCount(), before) << "looked at only once the log is in";
    QSignalSpy appended(document, &CQuarvelDoc::linesAppended);
    document->FinishLoading();
    EXPECT_FALSE(document->loading());
    // The deferred look comes on the next turn of the event loop.
    QTest::qWait(50);
    EXPECT_EQ(DumpModel(document->model()), WholeDump(file.path()));
}

TEST_F(DocumentLoadingTest, ALogNoLargerThanTheFirstPartIsReadyWhenItOpens) {
    file.Write(LargeLog().substr(0, LargeLog().find('\n', kFirstLoadPartBytes / 2) + 1));
    Open();
    EXPECT_FALSE(document->loading());
    EXPECT_EQ(document->model().classifiedCount(), document->model().lineCount());
}

} // namespace
