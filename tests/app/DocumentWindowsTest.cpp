// Logs coming and going: one window per file, empty and missing logs, second
// windows, closing, dropped files, the Open dialog and the recent-file list.
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "MainFrameTestFixture.h"

#include <QDropEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMimeData>
#include <filesystem>

using namespace CommandId;

namespace {

QString PathOf(const TempFile& file) {
    return QString::fromStdString(file.path());
}
QString NameOf(const TempFile& file) {
    return QFileInfo(PathOf(file)).fileName();
}

TEST_F(MainFrameTest, OpeningTheSamePathTwiceGivesOneWindowAndActivatesIt) {
    TempFile first(Lines(3));
    TempFile second(Lines(4));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(first)));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(second)));
    ASSERT_EQ(frame->activeFrame()->document()->path(), PathOf(second));

    EXPECT_TRUE(frame->OpenDocumentFile(PathOf(first)));
    EXPECT_EQ(frame->childFrames().size(), 2);
    EXPECT_EQ(frame->documents().documentCount(), 2);
    EXPECT_EQ(frame->activeFrame()->document()->path(), PathOf(first));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(MainFrameTest, AnotherSpellingOfAnOpenPathFindsItsWindow) {
    TempFile log(Lines(3));
    const std::filesystem::path target(log.path());
    const std::filesystem::path link = target.string() + "-link.log";
    std::filesystem::create_symlink(target, link);
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(log)));
    EXPECT_TRUE(frame->OpenDocumentFile(QString::fromStdString(link.string())));
    EXPECT_TRUE(frame->OpenDocumentFile(
        QString::fromStdString((target.parent_path() / "." / target.filename()).string())));
    EXPECT_EQ(frame->childFrames().size(), 1);
    std::filesystem::remove(link);
}

TEST_F(MainFrameTest, AnEmptyLogOpensAWindowWithNoLines) {
    TempFile log("");
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(log)));
    ASSERT_EQ(frame->childFrames().size(), 1);
    EXPECT_EQ(frame->activeView()->lineCount(), 0);
    EXPECT_EQ(frame->activeFrame()->document()->model().lineCount(), 0);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(MainFrameTest, TheViewIsUpdatedWithTheLinesOfItsLog) {
    TempFile log(Lines(5));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(log)));
    EXPECT_EQ(frame->activeView()->lineCount(), 5);
    EXPECT_EQ(frame->activeFrame()->windowTitle(), NameOf(log));
}

TEST_F(MainFrameTest, AMissingPathIsReportedAndOpensNoWindow) {
    const QString missing = QDir::temp().filePath(QStringLiteral("quarvel-no-such-file.log"));
    EXPECT_FALSE(frame->OpenDocumentFile(missing));
    EXPECT_TRUE(frame->childFrames().isEmpty());
    EXPECT_EQ(frame->documents().documentCount(), 0);
    EXPECT_EQ(MenuTitles().size(), 4);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0],
              (Message{"Cannot open " + QDir::toNativeSeparators(missing).toStdString() +
                           ": No such file.",
                       "Quarvel", MessageIcon::Warning}));
    EXPECT_TRUE(frame->recentFiles().paths().isEmpty());
}

TEST_F(MainFrameTest, AFolderIsNotALog) {
    EXPECT_FALSE(frame->OpenDocumentFile(QDir::tempPath()));
    EXPECT_TRUE(frame->childFrames().isEmpty());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "Cannot open " + QDir::toNativeSeparators(QDir::tempPath()).toStdString() +
                  ": Is a folder.");
}

TEST_F(MainFrameTest, NewWindowAddsASecondViewAndClosingOneKeepsTheDocument) {
    TempFile log(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(log)));
    std::weak_ptr<CQuarvelDoc> document = frame->activeFrame()->sharedDocument();

    frame->commandAction(kWindowNew)->trigger();
    const QList<CChildFrame*> frames = frame->childFrames();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0]->document(), frames[1]->document());
    EXPECT_NE(frames[0]->view(), frames[1]->view());
    EXPECT_EQ(frames[1]->view()->lineCount(), 3) << "the second view is updated too";
    EXPECT_EQ(frames[0]->windowTitle(), NameOf(log) + ":1");
    EXPECT_EQ(frames[1]->windowTitle(), NameOf(log) + ":2");

    frames[0]->close();
    ProcessDeferredDeletes();
    EXPECT_FALSE(document.expired());
    ASSERT_EQ(frame->childFrames().size(), 1);
    EXPECT_EQ(frame->childFrames().front()->windowTitle(), NameOf(log));
    EXPECT_EQ(MenuTitles().size(), 7);
}

TEST_F(MainFrameTest, ClosingTheLastWindowDestroysTheDocument) {
    TempFile log(Lines(3));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(log)));
    std::weak_ptr<CQuarvelDoc> document = frame->activeFrame()->sharedDocument();
    frame->commandAction(kWindowNew)->trigger();

    frame->childFrames().front()->close();
    frame->childFrames().front()->close();
    EXPECT_TRUE(document.expired());
    EXPECT_EQ(frame->documents().documentCount(), 0);
    ProcessDeferredDeletes();
    EXPECT_TRUE(frame->mdiArea()->subWindowList().isEmpty());

    // The file opens afresh afterwards.
    EXPECT_TRUE(frame->OpenDocumentFile(PathOf(log)));
    EXPECT_EQ(frame->childFrames().size(), 1);
}

// File > Close closes the window the user is in, not the log's other
// windows: a second window on the log stays, and the log with it.
TEST_F(MainFrameTest, CloseClosesTheActiveWindowOnly) {
    TempFile kept(Lines(2));
    TempFile shared(Lines(2));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(kept)));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(shared)));
    frame->commandAction(kWindowNew)->trigger();
    ASSERT_EQ(frame->childFrames().size(), 3);
    const CChildFrame* active = frame->activeFrame();

    frame->commandAction(kFileClose)->trigger();
    const QList<CChildFrame*> left = frame->childFrames();
    ASSERT_EQ(left.size(), 2);
    EXPECT_FALSE(left.contains(active));
    EXPECT_EQ(left[0]->document()->path(), PathOf(kept));
    EXPECT_EQ(left[1]->document()->path(), PathOf(shared));
    EXPECT_EQ(frame->documents().documentCount(), 2);
}

TEST_F(MainFrameTest, ExitClosesEveryDocument) {
    TempFile log(Lines(2));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(log)));
    std::weak_ptr<CQuarvelDoc> document = frame->activeFrame()->sharedDocument();
    frame->show();
    frame->commandAction(kAppExit)->trigger();
    EXPECT_TRUE(document.expired());
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(MainFrameTest, DroppedFilesOpen) {
    TempFile first(Lines(2));
    TempFile second(Lines(2));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(PathOf(first)), QUrl::fromLocalFile(PathOf(second)),
                  QUrl(QStringLiteral("https://example.invalid/remote.log"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_EQ(frame->childFrames().size(), 2);
    EXPECT_TRUE(messages.messages.empty());
}

// A file manager that offers to move a dropped file learns that it was
// copied: the log stays where it is.
TEST_F(MainFrameTest, DropsAreAcceptedAsCopyWhateverTheSourceProposes) {
    TempFile log(Lines(2));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(PathOf(log))});
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);

    QDragMoveEvent move(QPoint(12, 12), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    move.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(frame.get(), &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(move.dropAction(), Qt::CopyAction);

    QDropEvent drop(QPointF(12, 12), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(frame->childFrames().size(), 1);
    EXPECT_TRUE(std::filesystem::exists(log.path()));
}

TEST_F(MainFrameTest, ADropThatCanOnlyBeAMoveIsRefused) {
    TempFile log(Lines(2));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(PathOf(log))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_TRUE(frame->childFrames().isEmpty());
}

TEST_F(MainFrameTest, OpenAsksForALogFileAndOpensTheChoice) {
    TempFile log(Lines(2));
    QStringList filters;
    ModalWatcher watcher([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            filters = dialog->nameFilters();
            dialog->selectFile(PathOf(log));
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, which checks the choice
        }
    });
    frame->commandAction(kFileOpen)->trigger();
    ASSERT_EQ(watcher.seenClasses, (std::vector<QString>{"QFileDialog"}));
    // Rotated logs (server.log.1) show with the logs.
    EXPECT_EQ(filters, (QStringList{"SOFII Log Files (*.log *.log.*)", "All files (*)"}));
    ASSERT_EQ(frame->childFrames().size(), 1);
    EXPECT_EQ(frame->activeFrame()->document()->path(), PathOf(log));
}

TEST_F(MainFrameTest, RecentFilesPersistIntoANewMainFrame) {
    TempFile first(Lines(2));
    TempFile second(Lines(2));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(first)));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(second)));
    frame.reset();

    frame = MakeFrame();
    EXPECT_EQ(frame->recentFiles().paths(), (QStringList{PathOf(second), PathOf(first)}));
    EXPECT_EQ(MenuEntries("&File"), (QStringList{"&Open...\tCtrl+O", "-", "&1 " + NameOf(second),
                                                 "&2 " + NameOf(first), "-", "E&xit"}));

    frame->recentFileAction(1)->trigger();
    ASSERT_EQ(frame->childFrames().size(), 1);
    EXPECT_EQ(frame->activeFrame()->document()->path(), PathOf(first));
}

TEST_F(MainFrameTest, ARecentFileThatNoLongerOpensLeavesTheList) {
    auto gone = std::make_unique<TempFile>(Lines(2));
    const QString gonePath = PathOf(*gone);
    TempFile kept(Lines(2));
    ASSERT_TRUE(frame->OpenDocumentFile(gonePath));
    ASSERT_TRUE(frame->OpenDocumentFile(PathOf(kept)));
    frame->commandAction(kFileClose)->trigger();
    frame->commandAction(kFileClose)->trigger();
    gone.reset();

    frame->recentFileAction(1)->trigger();
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(frame->childFrames().isEmpty());
    EXPECT_EQ(frame->recentFiles().paths(), QStringList{PathOf(kept)});
    EXPECT_FALSE(frame->recentFileAction(1)->isVisible());
}

} // namespace
