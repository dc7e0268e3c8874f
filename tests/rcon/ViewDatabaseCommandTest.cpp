// The view's "Database update" command: enabled with a configured database
// while no run of the view goes on, and running the harvest behind its window.
#include "CDatabaseUpdateDlg.h"
#include "CommandIds.h"
#include "GlobalConfig.h"
#include "ModalScript.h"
#include "PlayerSchema.h"
#include "ViewTestSupport.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const std::string kLog =
    "   0:01 ClientConnect: 0 - 10.0.0.1:20100 [0123456789ABCDEF0123456789ABCDEF]\n"
    "   0:02 ClientUserinfoChanged: 0 n\\^1Bob\\t\\1\\model\\x\n";

// The program's configuration as a test sets it, restored afterwards.
class ViewDatabaseUpdate : public ::testing::Test {
protected:
    void SetUp() override { saved_ = theAppConfig.databasePath; }
    void TearDown() override { theAppConfig.databasePath = saved_; }

    // A new, empty player database of the test's own.
    std::string NewDatabase() {
        const std::string file = folder_.filePath(QStringLiteral("players.sqlite")).toStdString();
        std::string error;
        EXPECT_TRUE(InitPlayerDatabase(file, error)) << error;
        return file;
    }

private:
    std::string saved_;
    QTemporaryDir folder_;
};

TEST_F(ViewDatabaseUpdate, IsEnabledOnlyWithADatabase) {
    ViewOnLog log(kLog);
    theAppConfig.databasePath.clear();
    EXPECT_FALSE(log.view().IsCommandEnabled(CommandId::kDatabaseUpdate));
    theAppConfig.databasePath = "players.sqlite";
    EXPECT_TRUE(log.view().IsCommandEnabled(CommandId::kDatabaseUpdate));
}

TEST_F(ViewDatabaseUpdate, RunIsTheOnlyOneOfItsViewUntilItEnds) {
    theAppConfig.databasePath = NewDatabase();
    ViewOnLog log(kLog);
    CQuarvelView& view = log.view();
    std::vector<bool> enabledWhenTold;
    QObject::connect(&view, &CQuarvelView::commandStateChanged, [&] {
        enabledWhenTold.push_back(view.IsCommandEnabled(CommandId::kDatabaseUpdate));
    });
    ModalScript script; // no message box is expected

    EXPECT_TRUE(view.OnCommand(CommandId::kDatabaseUpdate));

    // Told when the run began (and the command went off) and when it ended.
    EXPECT_EQ(enabledWhenTold, (std::vector<bool>{false, true}));
    EXPECT_FALSE(view.updateRunning());
    EXPECT_EQ(script.shown(), 0);
    auto* window = view.findChild<CDatabaseUpdateDlg*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->stopped());
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("guidsNew"))->text(), "1");
    window->OnStopOrClose();
}

} // namespace
