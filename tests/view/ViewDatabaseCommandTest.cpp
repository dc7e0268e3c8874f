// The view's "Database update" command: enabled with a configured database
// while no run of the view goes on, and running the harvest behind its window.
#include "AppConfig.h"
#include "CDatabaseUpdateDlg.h"
#include "CommandIds.h"
#include "DocumentLoading.h"
#include "LogGenerator.h"
#include "ModalScript.h"
#include "PlayerSchema.h"
#include "ViewTestSupport.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace {

const std::string kOnePlayerLog =
    "   0:01 ClientConnect: 0 - 10.0.0.1:20100 [0123456789ABCDEF0123456789ABCDEF]\n"
    "   0:02 ClientUserinfoChanged: 0 n\\^1Bob\\t\\1\\model\\x\n";

class ViewDatabaseUpdate : public ::testing::Test {
protected:
    // A configuration that names `database`.
    static AppConfig WithDatabase(const std::string& database) {
        AppConfig config;
        config.databasePath = database;
        return config;
    }

    // A new, empty player database of the test's own.
    std::string NewDatabase() {
        const std::string file = folder_.filePath(QStringLiteral("players.sqlite")).toStdString();
        std::string error;
        EXPECT_TRUE(InitPlayerDatabase(file, error)) << error;
        return file;
    }

private:
    QTemporaryDir folder_;
};

TEST_F(ViewDatabaseUpdate, IsEnabledOnlyWithADatabase) {
    ViewOnLog log(kOnePlayerLog);
    EXPECT_FALSE(log.view().IsCommandEnabled(CommandId::kDatabaseUpdate));
    log.config().databasePath = "players.sqlite";
    EXPECT_TRUE(log.view().IsCommandEnabled(CommandId::kDatabaseUpdate));
}

TEST_F(ViewDatabaseUpdate, RunIsTheOnlyOneOfItsViewUntilItEnds) {
    ViewOnLog log(WithDatabase(NewDatabase()), kOnePlayerLog);
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

// The entry "Keep database updated": the log's lines go into the database as
// they come, and a failure turns the entry off with the engine's message.
std::vector<std::string> StoredNames(const std::string& file) {
    std::vector<std::string> names;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "names");
        db.setDatabaseName(QString::fromStdString(file));
        db.open();
        QSqlQuery query(R"(SELECT "Player_Name_formated" FROM "Players" ORDER BY "Player_key")",
                        db);
        while (query.next()) {
            names.push_back(query.value(0).toString().toStdString());
        }
    }
    QSqlDatabase::removeDatabase("names");
    return names;
}

void ProcessUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 200 && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

TEST_F(ViewDatabaseUpdate, KeepDatabaseUpdatedHarvestsTheLogAndWhatItGets) {
    const std::string database = NewDatabase();
    ViewOnLog log(WithDatabase(database), kOnePlayerLog);
    CQuarvelView& view = log.view();
    CQuarvelDoc& document = log.document();
    ASSERT_TRUE(view.IsCommandEnabled(CommandId::kKeepDatabaseUpdated));
    EXPECT_FALSE(view.IsCommandChecked(CommandId::kKeepDatabaseUpdated));
    view.OnCommand(CommandId::kKeepDatabaseUpdated);
    EXPECT_TRUE(view.IsCommandChecked(CommandId::kKeepDatabaseUpdated));
    ProcessUntil([&] { return document.liveHarvestUpToDate(); });
    EXPECT_EQ(StoredNames(database), std::vector<std::string>{"Bob"});

    std::ofstream(document.model().path(), std::ios::app)
        << "   0:03 ClientUserinfoChanged: 0 n\\Rob\\t\\1\\model\\x\n";
    document.CheckFile();
    ProcessUntil([&] { return document.liveHarvestUpToDate(); });
    EXPECT_EQ(StoredNames(database), (std::vector<std::string>{"Bob", "Rob"}));

    view.OnCommand(CommandId::kKeepDatabaseUpdated);
    EXPECT_FALSE(view.IsCommandChecked(CommandId::kKeepDatabaseUpdated));
    log.config().databasePath.clear();
    EXPECT_FALSE(view.IsCommandEnabled(CommandId::kKeepDatabaseUpdated));
}

TEST_F(ViewDatabaseUpdate, KeepDatabaseUpdatedTakesEveryLineOfALogStillLoading) {
    const std::string database = NewDatabase();
    TempFile file(GenerateLog(2 * kFirstLoadPartBytes, 9));
    CQuarvelDoc document;
    ASSERT_TRUE(document.Open(QString::fromStdString(file.path())));
    ASSERT_TRUE(document.loading());
    document.StartLiveHarvest(database);
    // The lines the slices bring are harvested as they come, and the last
    // of them too.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 120'000 && (document.loading() || !document.liveHarvestUpToDate())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_FALSE(document.loading());
    EXPECT_TRUE(document.liveHarvestUpToDate());
    EXPECT_GT(document.liveHarvestCounters().playersTotal, 0);
}

TEST_F(ViewDatabaseUpdate, KeepDatabaseUpdatedTurnsItselfOffOnAFailure) {
    ViewOnLog log(WithDatabase("/nonexistent/quarvel/players.sqlite"), kOnePlayerLog);
    std::vector<std::string> messages;
    QObject::connect(&log.document(), &CQuarvelDoc::liveHarvestFailed,
                     [&](const Message& message) { messages.push_back(message.text); });
    log.view().OnCommand(CommandId::kKeepDatabaseUpdated);
    ProcessUntil([&] { return !messages.empty(); });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_FALSE(messages.front().empty());
    EXPECT_FALSE(log.view().IsCommandChecked(CommandId::kKeepDatabaseUpdated));
}

} // namespace
