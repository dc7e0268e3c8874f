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

#include <QPushButton>
#include <QSignalSpy>
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
    // The first slice classifies the first screen.
    ASSERT_TRUE(slices.wait(5000));
    EXPECT_TRUE(model.IsClassified(view->topLine() + view->visibleLines()));
    if (finished.isEmpty()) {
        ASSERT_TRUE(finished.wait(30000));
    }
    EXPECT_FALSE(document->loading());
    EXPECT_EQ(document->loadedPermille(), 1000);
    EXPECT_EQ(view->lineCount(), model.lineCount());
    EXPECT_EQ(DumpModel(model), WholeDump(file.path()));
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->findChild<QWidget*>(QStringLiteral("loadingProgress")), nullptr);
}

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
