// Go to (Ctrl+G): a line number or a time of the log, through the view's
// Go To dialog answered as a user would.
#include "CGoToDlg.h"
#include "CommandIds.h"
#include "MessageRecorder.h"
#include "ViewTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Types `text` into the dialog each time it opens and presses OK (or
// Cancel), noting the prompt it showed.
class GoToDriver {
public:
    GoToDriver(CGoToDlg& dialog, QString text, bool ok = true)
        : dialog_(dialog), text_(std::move(text)), ok_(ok) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(0);
    }

    int opened = 0;
    QString shownText;

private:
    void Look() {
        if (!dialog_.isVisible() || QApplication::activeModalWidget() != &dialog_) {
            return;
        }
        ++opened;
        shownText = dialog_.targetEdit()->text();
        dialog_.targetEdit()->selectAll();
        QTest::keyClicks(dialog_.targetEdit(), text_);
        QTest::mouseClick(dialog_.findChild<QPushButton*>(ok_ ? QStringLiteral("okButton")
                                                              : QStringLiteral("cancelButton")),
                          Qt::LeftButton);
        if (dialog_.isVisible()) {
            dialog_.reject();
        }
    }

    CGoToDlg& dialog_;
    QString text_;
    bool ok_;
    QTimer timer_;
};

// 100 lines, a stamp each: line i at i*10 seconds, so line 30 is at 5:00;
// then a second map whose clock starts again.
std::string StampedLog() {
    std::string bytes;
    for (int i = 0; i < 100; ++i) {
        const int seconds = (i % 60) * 10;
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%4d:%02d", seconds / 60, seconds % 60);
        bytes += std::string(stamp) + " say: A: line " + std::to_string(i) + "\n";
    }
    return bytes;
}

class ViewGoToTest : public ::testing::Test {
protected:
    ViewGoToTest() { log.view().SetMessageSink(messages); }

    void GoTo(const QString& text) {
        GoToDriver driver(log.view().goToDialog(), text);
        EXPECT_TRUE(log.view().OnCommand(CommandId::kGoTo));
        EXPECT_EQ(driver.opened, 1);
    }

    ViewOnLog log{StampedLog(), 10, 40};
    MessageRecorder messages;
};

TEST_F(ViewGoToTest, ALineNumberCountsFromOne) {
    GoTo(QStringLiteral("50"));
    EXPECT_EQ(log.view().caretLine(), 49);
    EXPECT_EQ(log.view().caretColumn(), 0);
    EXPECT_EQ(log.view().topLine(), 44) << "about half a window from the top";
    EXPECT_FALSE(log.view().selectionActive());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ViewGoToTest, NumbersPastEitherEndGoToTheFirstOrLastLine) {
    GoTo(QStringLiteral("100000"));
    EXPECT_EQ(log.view().caretLine(), 99);
    EXPECT_EQ(log.view().topLine(), 90);
    GoTo(QStringLiteral("0"));
    EXPECT_EQ(log.view().caretLine(), 0);
    EXPECT_EQ(log.view().topLine(), 0);
}

TEST_F(ViewGoToTest, ATimeGoesWhereTheClockReachesIt) {
    GoTo(QStringLiteral("5:00"));
    EXPECT_EQ(log.view().caretLine(), 30);
    // Asked again, the same time in the next map.
    GoTo(QStringLiteral("5:00"));
    EXPECT_EQ(log.view().caretLine(), 90);
    // Between two stamps: the next line.
    GoTo(QStringLiteral("0:55"));
    EXPECT_EQ(log.view().caretLine(), 6);
}

TEST_F(ViewGoToTest, TheDialogOpensWithTheLastTextAndNamesTheLines) {
    GoTo(QStringLiteral("12"));
    GoToDriver driver(log.view().goToDialog(), QString(), false);
    log.view().OnCommand(CommandId::kGoTo);
    EXPECT_EQ(driver.shownText, "12");
    EXPECT_EQ(log.view().caretLine(), 11) << "Cancel goes nowhere";
    const QLabel* prompt = log.view().goToDialog().findChild<QLabel*>();
    ASSERT_NE(prompt, nullptr);
    EXPECT_TRUE(prompt->text().contains("1 to 100")) << prompt->text().toStdString();
}

struct BadTargetCase {
    const char* name;
    const char* typed;
    std::string message;
};

void PrintTo(const BadTargetCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewGoToBadTest : public ::testing::TestWithParam<BadTargetCase> {};

TEST_P(ViewGoToBadTest, SaysWhatItTakesAndStays) {
    ViewOnLog log(StampedLog(), 10, 40);
    MessageRecorder messages;
    log.view().SetMessageSink(messages);
    GoToDriver driver(log.view().goToDialog(), QString::fromLatin1(GetParam().typed));
    log.view().OnCommand(CommandId::kGoTo);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], (Message{GetParam().message, "Quarvel", MessageIcon::Warning}));
    EXPECT_EQ(log.view().caretLine(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ViewGoToBadTest,
    ::testing::Values(
        BadTargetCase{"Words", "end",
                      "Type a line number from 1 to 100, or a time of the log such as 12:34."},
        BadTargetCase{"Nothing", "",
                      "Type a line number from 1 to 100, or a time of the log such as 12:34."},
        BadTargetCase{"ATimeNeverReached", "42:00", "The log's clock never reaches 42:00."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewGoToEmptyTest, IsDisabledOnAnEmptyLog) {
    ViewOnLog log("");
    EXPECT_FALSE(log.view().IsCommandEnabled(CommandId::kGoTo));
}

} // namespace
