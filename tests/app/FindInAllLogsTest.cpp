// Find in all logs: every hit of every open log listed with its log, line
// and text; a double-click brings the log's window to the line.
#include "CFindAllLogsDlg.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "MainFrameTestFixture.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QTreeWidget>

using namespace CommandId;

namespace {

class FindInAllLogsTest : public MainFrameTest {
protected:
    CFindAllLogsDlg* Search(const QString& text) {
        frame->commandAction(kFindInAllLogs)->trigger();
        CFindAllLogsDlg* window = frame->findAllLogsWindow();
        if (window == nullptr) {
            return nullptr;
        }
        window->textEdit()->setText(text);
        window->StartSearch();
        EXPECT_TRUE(QTest::qWaitFor([window] { return !window->searching(); }, 5000));
        return window;
    }

    static QStringList Rows(const CFindAllLogsDlg& window) {
        QStringList rows;
        for (int i = 0; i < window.results()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = window.results()->topLevelItem(i);
            rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
        }
        return rows;
    }
};

TEST_F(FindInAllLogsTest, ListsEveryHitOfEveryOpenLogAndADoubleClickGoesThere) {
    EXPECT_FALSE(Enabled(kFindInAllLogs)) << "no log is open";
    TempFile first(Lines(12));
    TempFile second("   0:01 say: Bob: line 11 here\n   0:02 say: Bob: nothing\n");
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(first.path())));
    ASSERT_TRUE(frame->OpenDocumentFile(QString::fromStdString(second.path())));
    const QString firstName = QFileInfo(QString::fromStdString(first.path())).fileName();
    const QString secondName = QFileInfo(QString::fromStdString(second.path())).fileName();
    ASSERT_TRUE(Enabled(kFindInAllLogs));

    CFindAllLogsDlg* window = Search(QStringLiteral("LINE 1"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Rows(*window), (QStringList{firstName + "|2|   0:01 say: Alice: line 1",
                                          firstName + "|11|   0:00 say: Alice: line 10",
                                          firstName + "|12|   0:01 say: Alice: line 11",
                                          secondName + "|1|   0:01 say: Bob: line 11 here"}));
    EXPECT_EQ(window->statusText(), "4 lines in 2 logs");

    // The first log's window is behind the second's; the hit brings it.
    QTreeWidgetItem* hit = window->results()->topLevelItem(2);
    emit window->results()->itemActivated(hit, 0);
    ASSERT_EQ(frame->activeFrame()->document()->path(), QString::fromStdString(first.path()));
    EXPECT_EQ(frame->activeView()->caretLine(), 11);

    window->findChild<QCheckBox*>(QStringLiteral("findAllRegExp"))->setChecked(true);
    window = Search(QStringLiteral("(unclosed"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->statusText(), "Bad regular expression supplied");
    EXPECT_EQ(window->results()->topLevelItemCount(), 0);
}

} // namespace
