#include "AppConfig.h"
#include "CDatabaseUpdateDlg.h"
#include "DatabaseUpdateCommand.h"
#include "HarvestLog.h"
#include "MessageRecorder.h"
#include "ModalHandler.h"
#include "ScratchDatabase.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr char kUpdateGuid[] = "0123456789ABCDEF0123456789ABCDEF";

QPushButton* StopButton(QWidget* dialog) {
    return dialog->findChild<QPushButton*>(QStringLiteral("stopButton"));
}

QString Text(QWidget* dialog, const char* name) {
    const auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("<missing>");
}

QStringList Counters(QWidget* dialog) {
    return {Text(dialog, "guidsNew"), Text(dialog, "guidsTotal"), Text(dialog, "playersNew"),
            Text(dialog, "playersTotal")};
}

// Lets a dialog that closed itself be deleted, as the event loop would.
void DeleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// --- The window on its own ------------------------------------------------------

class UpdateDialog : public ::testing::Test {
protected:
    void SetUp() override {
        main.show();
        dialog = new CDatabaseUpdateDlg(&main);
        dialog->SetCounters({});
        dialog->Create();
    }

    QMainWindow main;
    QPointer<CDatabaseUpdateDlg> dialog;
};

TEST_F(UpdateDialog, LooksAsDescribed) {
    EXPECT_EQ(dialog->windowTitle(), "Database Update");
    EXPECT_FALSE(dialog->isModal());
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowSystemMenuHint));
    ASSERT_NE(StopButton(dialog), nullptr);
    EXPECT_EQ(StopButton(dialog)->text(), "Stop");
    EXPECT_TRUE(StopButton(dialog)->isDefault());
    ASSERT_NE(dialog->findChild<QGroupBox*>(), nullptr);
    EXPECT_EQ(dialog->findChild<QGroupBox*>()->title(), "Records");
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->objectName().isEmpty()) {
            texts << label->text();
        }
    }
    EXPECT_EQ(texts, (QStringList{"New", "Total", "GUIDs:", "Players:"}));
    EXPECT_NE(dialog->findChild<QProgressBar*>(QStringLiteral("progress")), nullptr);
    EXPECT_EQ(Counters(dialog), (QStringList{"0", "0", "0", "0"}));
}

// The counts stand under their headings, right edges lined up, as numbers
// in a column do.
TEST_F(UpdateDialog, TheCountsEndUnderTheEndsOfTheirHeadings) {
    dialog->SetCounters({7, 12345, 0, 2147483647});
    QCoreApplication::processEvents();
    const auto* group = dialog->findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    QMap<QString, const QLabel*> headings;
    for (const QLabel* label : group->findChildren<QLabel*>()) {
        headings[label->text()] = label;
    }
    for (const auto& [heading, counts] :
         {std::pair{QStringLiteral("New"), std::pair{"guidsNew", "playersNew"}},
          std::pair{QStringLiteral("Total"), std::pair{"guidsTotal", "playersTotal"}}}) {
        const QLabel* title = headings.value(heading);
        ASSERT_NE(title, nullptr) << heading.toStdString();
        // Where the heading's text ends.
        const int titleEnd =
            title->geometry().left() + title->contentsRect().left() + title->contentsRect().width();
        for (const char* name : {counts.first, counts.second}) {
            const auto* count = group->findChild<QLabel*>(QString::fromLatin1(name));
            ASSERT_NE(count, nullptr);
            EXPECT_TRUE(count->alignment().testFlag(Qt::AlignRight)) << name;
            const int countEnd = count->geometry().left() + count->contentsRect().left() +
                                 count->contentsRect().width();
            EXPECT_EQ(countEnd, titleEnd) << name;
        }
    }
}

TEST_F(UpdateDialog, CountersShowAsDecimalNumbers) {
    dialog->SetCounters({7, 12345, 0, 2147483647});
    EXPECT_EQ(Counters(dialog), (QStringList{"7", "12345", "0", "2147483647"}));
}

TEST_F(UpdateDialog, TheMainWindowIsDisabledUntilClose) {
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(dialog->isEnabled()); // owned by the main window, yet usable
    EXPECT_TRUE(dialog->isVisible());

    QTest::mouseClick(StopButton(dialog), Qt::LeftButton);
    EXPECT_TRUE(dialog->stopped());
    EXPECT_EQ(StopButton(dialog)->text(), "Close");
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(dialog->isVisible());

    QTest::mouseClick(StopButton(dialog), Qt::LeftButton);
    EXPECT_TRUE(main.isEnabled());
    DeleteClosedWindows();
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(UpdateDialog, EscapeDoesNothing) {
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->stopped());
    EXPECT_EQ(StopButton(dialog)->text(), "Stop");
    dialog->MarkFinished();
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(main.isEnabled());
}

TEST_F(UpdateDialog, ACloseFromOutsideWaitsForTheRunsEnd) {
    EXPECT_FALSE(dialog->close());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->stopped());
    dialog->MarkFinished();
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(main.isEnabled());
}

// --- The command ---------------------------------------------------------------

class UpdateCommand : public ::testing::Test {
protected:
    void SetUp() override {
        view = new QWidget(&main);
        main.setCentralWidget(view);
        main.show();
        scratch.Create();
        config.databasePath = scratch.location();
    }

    void Run(HarvestLog& log, MessageSink* messages = nullptr) {
        RunDatabaseUpdate(view, log.model, config, updateRunning, dialog, messages);
    }

    std::vector<std::string> Names() {
        return scratch.QueryColumn(
            R"(SELECT "Player_Name_formated" FROM "Players" ORDER BY "Player_key")");
    }

    QMainWindow main;
    QWidget* view = nullptr;
    ScratchDatabase scratch{TestEngine::Sqlite};
    AppConfig config;
    bool updateRunning = false;
    QPointer<CDatabaseUpdateDlg> dialog;
};

TEST_F(UpdateCommand, HarvestsTheLogAndLeavesTheWindowToBeClosed) {
    HarvestLog log(
        {ConnectLine(0, "1.2.3.4", kUpdateGuid), UserinfoLine(0, "Bob"), UserinfoLine(0, "^1Rob")});
    bool runningMeanwhile = false;
    bool mainEnabledMeanwhile = true;
    QTimer::singleShot(0, [&] {
        runningMeanwhile = updateRunning;
        mainEnabledMeanwhile = main.isEnabled();
    });
    Run(log);
    EXPECT_TRUE(runningMeanwhile);
    EXPECT_FALSE(mainEnabledMeanwhile);
    EXPECT_FALSE(updateRunning);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog->parentWidget(), &main);
    EXPECT_EQ(StopButton(dialog)->text(), "Close");
    EXPECT_EQ(Counters(dialog), (QStringList{"1", "1", "2", "2"}));
    const auto* progress = dialog->findChild<QProgressBar*>(QStringLiteral("progress"));
    EXPECT_EQ(progress->maximum(), 100);
    // A step a line, three steps of the hundred planned: the bar is full
    // once every line is done.
    EXPECT_EQ(log.model.stepsDone(), 3);
    EXPECT_EQ(progress->value(), 100);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bob", "Rob"}));
    EXPECT_FALSE(main.isEnabled());

    QTest::mouseClick(StopButton(dialog), Qt::LeftButton);
    EXPECT_TRUE(main.isEnabled());
}

TEST_F(UpdateCommand, StopIsNoticedAfterTheStepInProgress) {
    // Three lines a step: Bob in the first, Rob in the second.
    HarvestLog log(WithFiller({ConnectLine(0, "1.2.3.4", kUpdateGuid), UserinfoLine(0, "Bob"),
                               "  12:34 say: Bob: hi", UserinfoLine(0, "Rob")},
                              246));
    QTimer::singleShot(0, [&] { QTest::mouseClick(StopButton(dialog), Qt::LeftButton); });
    Run(log);
    EXPECT_FALSE(updateRunning);
    EXPECT_EQ(log.model.stepsDone(), 1);
    EXPECT_EQ(Names(), std::vector<std::string>{"Bob"});
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(StopButton(dialog)->text(), "Close");
    EXPECT_EQ(dialog->findChild<QProgressBar*>(QStringLiteral("progress"))->value(), 1);
    EXPECT_FALSE(main.isEnabled());
    QTest::mouseClick(StopButton(dialog), Qt::LeftButton);
    EXPECT_TRUE(main.isEnabled());
}

TEST_F(UpdateCommand, AFailureIsToldAndTheButtonThenReadsClose) {
    std::filesystem::remove(scratch.location());
    HarvestLog log({ConnectLine(0, "1.2.3.4", kUpdateGuid)});
    MessageRecorder messages;
    Run(log, &messages);
    EXPECT_FALSE(updateRunning);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find("does not exist"), std::string::npos);
    EXPECT_EQ(messages.messages[0].caption, "Quarvel");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::None);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(StopButton(dialog)->text(), "Close") << "the run is over";
    EXPECT_LT(dialog->findChild<QProgressBar*>(QStringLiteral("progress"))->value(), 100)
        << "not every line was harvested";
    EXPECT_FALSE(main.isEnabled());
    QTest::mouseClick(StopButton(dialog), Qt::LeftButton);
    EXPECT_TRUE(main.isEnabled());
}

TEST_F(UpdateCommand, TheFailureBoxOverTheDisabledMainWindowCanBeAnswered) {
    std::filesystem::remove(scratch.location());
    HarvestLog log({ConnectLine(0, "1.2.3.4", kUpdateGuid)});
    bool enabled = false;
    QWidget* owner = nullptr;
    QString title;
    ModalHandler handler([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        enabled = box->isEnabled();
        owner = box->parentWidget();
        title = box->windowTitle();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    Run(log);
    EXPECT_EQ(handler.seen, 1);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(owner, view);
    EXPECT_EQ(title, "Quarvel");
    EXPECT_FALSE(updateRunning);
}

struct EnabledCase {
    const char* name;
    const char* databasePath;
    bool updateRunning;
    bool enabled;
};

void PrintTo(const EnabledCase& c, std::ostream* os) {
    *os << c.name;
}

class UpdateCommandEnabled : public ::testing::TestWithParam<EnabledCase> {};

TEST_P(UpdateCommandEnabled, NeedsADatabaseAndNoRunningUpdate) {
    EXPECT_EQ(IsDatabaseUpdateEnabled(GetParam().databasePath, GetParam().updateRunning),
              GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(States, UpdateCommandEnabled,
                         ::testing::Values(EnabledCase{"Configured", "players.sqlite", false, true},
                                           EnabledCase{"Running", "players.sqlite", true, false},
                                           EnabledCase{"NoDatabase", "", false, false}),
                         [](const ::testing::TestParamInfo<EnabledCase>& info) {
                             return info.param.name;
                         });

} // namespace
