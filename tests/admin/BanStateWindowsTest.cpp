// The ban state through the windows, each case in Player Info and in Find
// player over three fake game servers and a scratch database: ban and unban
// keep it and tell its line, "Temp-ban..." keeps its duration and temp-kicks
// the player where he plays, the windows say "banned until ..." or
// "banned", and a record handed over survives the window. The Servers panel
// says it per live player.
#include "BanStates.h"
#include "BanWindowKinds.h"
#include "CTempBanDlg.h"
#include "FakeGameServer.h"
#include "MessageRecorder.h"
#include "ModalScript.h"
#include "ScratchDatabase.h"
#include "ServersPanel.h"
#include "StoredPlayers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr std::int64_t kNow = 1075665909; // 2004-02-01T21:05:09+01:00
const BanClock kFixedClock = [] { return BanTime{kNow, 3600}; };

// Types `reason` into the Ban reason question and presses OK.
ModalScript::Step ReasonOk(const QString& reason) {
    return [reason](QWidget& modal) {
        QTest::keyClicks(modal.findChild<QLineEdit*>(QStringLiteral("reason")), reason);
        QTest::mouseClick(modal.findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
    };
}

// Answers the Temp-ban question: the preset of `index` (the last is
// "Custom", whose minutes are `custom`) and the reason.
ModalScript::Step TempBanOk(int index, int custom, const QString& reason) {
    return [=](QWidget& modal) {
        ASSERT_NE(qobject_cast<CTempBanDlg*>(&modal), nullptr);
        modal.findChild<QComboBox*>(QStringLiteral("duration"))->setCurrentIndex(index);
        auto* minutes = modal.findChild<QSpinBox*>(QStringLiteral("customMinutes"));
        if (minutes->isEnabled()) {
            minutes->setValue(custom);
        }
        QTest::keyClicks(modal.findChild<QLineEdit*>(QStringLiteral("reason")), reason);
        QTest::mouseClick(modal.findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
    };
}

class BanStateInWindows : public BanWindowTest {
protected:
    void SetUp() override { ShowWindow(kFixedClock); }

    QString Shown() { return GetParam().shownBan(*window); }
    std::optional<BanState> Active() {
        BanStates states(scratch.location(), "test", kFixedClock);
        return states.Active(kTargetGuid);
    }

    // Clicks the window's button, answers its questions, waits for the end.
    // A temp-ban starts only once its question is answered.
    void Run(const char* button, std::deque<ModalScript::Step> steps) {
        const int questions = static_cast<int>(steps.size());
        ModalScript script(std::move(steps));
        QTest::mouseClick(window->findChild<QPushButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return script.shown() >= questions && !bans().running(); }, 30000));
        EXPECT_EQ(script.unexpected(), 0);
    }

    // Waits until the window shows `text` as his ban.
    void ExpectShown(const QString& text) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return Shown() == text; }, 10000))
            << "shown: " << Shown().toStdString() << ", wanted: " << text.toStdString();
    }
};

TEST_P(BanStateInWindows, BanAndUnbanKeepTheStateAndTellItsLine) {
    ExpectShown("");
    Run("banButton", {ReasonOk("aimbot")});
    const auto banned = Active();
    ASSERT_TRUE(banned.has_value());
    EXPECT_EQ(banned->kind, BanKind::Permanent);
    EXPECT_EQ(banned->reason, "aimbot");
    EXPECT_EQ(banned->issuedBy, "alice");
    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_EQ(sink.messages.back().text, "Ban state: Banned permanently");
    ExpectShown("banned");

    sink.messages.clear();
    Run("unbanButton", {});
    EXPECT_FALSE(Active().has_value());
    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_EQ(sink.messages.back().text, "Ban state: Ban lifted");
    ExpectShown("");
}

TEST_P(BanStateInWindows, ABanWhoseQuestionIsCancelledLeavesTheStateAlone) {
    Run("banButton", {[](QWidget& modal) {
            QTest::mouseClick(modal.findChild<QPushButton*>(QStringLiteral("cancelButton")),
                              Qt::LeftButton);
        }});
    EXPECT_FALSE(Active().has_value());
    EXPECT_EQ(sink.messages, std::vector<Message>{});
}

// Every preset and a custom number of minutes reach the state; where the
// player is on Alpha now, he is temp-kicked there at once for the whole ban.
TEST_P(BanStateInWindows, TempBanPresetsAndCustomMinutesReachTheState) {
    struct Row {
        int index;
        int custom;
        long long minutes;
        bool onAlpha;
    };
    const Row rows[] = {{0, 0, 60, true},        {1, 0, 6 * 60, false},   {2, 0, 24 * 60, false},
                        {3, 0, 2 * 1440, false}, {4, 0, 7 * 1440, false}, {5, 0, 30 * 1440, false},
                        {6, 90, 90, true},       {6, 1, 1, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.minutes);
        BanStates(scratch.location(), "test", kFixedClock).Lift(kTargetGuid, "next row");
        sink.messages.clear();
        // A kick takes him off the fake server: he is put back where wanted.
        alpha.SetPlayers({});
        if (row.onAlpha) {
            alpha.SetPlayers({{3, "^1Bad^7Guy", "10.0.0.7:27960", kTargetGuid, 0, 50}});
        }
        const std::size_t sent = alpha.commands().size();
        Run("tempBanButton", {TempBanOk(row.index, row.custom, "spawn killing")});

        const auto banned = Active();
        ASSERT_TRUE(banned.has_value());
        EXPECT_EQ(banned->kind, BanKind::Temporary);
        EXPECT_EQ(banned->expiry, kNow + row.minutes * 60);
        EXPECT_EQ(banned->reason, "spawn killing");
        ExpectShown(QString::fromStdString("banned until " + banned->expiryTime));
        ASSERT_EQ(sink.messages.size(), 2u); // the state's line, then where he was kicked
        EXPECT_EQ(sink.messages[0].text.rfind("Ban state: Banned until " + banned->expiryTime, 0),
                  0u)
            << sink.messages[0].text;
        EXPECT_EQ(sink.messages[1].caption, row.onAlpha ? "Alpha" : "Quarvel")
            << sink.messages[1].text;
        const std::vector<std::string> toAlpha(
            alpha.commands().begin() + static_cast<std::ptrdiff_t>(sent), alpha.commands().end());
        EXPECT_EQ(std::count(toAlpha.begin(), toAlpha.end(),
                             "pb_sv_kick 4 " + std::to_string(row.minutes) + " \"spawn killing\""),
                  row.onAlpha ? 1 : 0)
            << "sent to Alpha: " << ::testing::PrintToString(toAlpha);
    }
    // Each kick is in the records beside the states'.
    const auto records = StoredBanHistory(scratch.location(), kTargetGuid);
    EXPECT_EQ(std::count_if(records.begin(), records.end(),
                            [](const BanRecord& r) { return r.action == "tempkick"; }),
              2);
}

TEST_P(BanStateInWindows, ATempBanOfAPlayerOnNoServerSaysSo) {
    Run("tempBanButton", {TempBanOk(0, 0, "afk")});
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1].text,
              "He is on no server now: the ban keeps him off when he connects.");
    ExpectShown(QString::fromStdString("banned until " + Active()->expiryTime));
}

// The records go to the controller's own thread; a window that goes while
// they wait for the disk (another program holds the write lock) is gone
// only once they are stored.
TEST_P(BanStateInWindows, ARecordHandedOverIsKeptWhenTheWindowGoesDuringTheBan) {
    std::atomic<bool> locked{false};
    std::thread holder([&] {
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock holder"));
            db.setDatabaseName(QString::fromStdString(scratch.location()));
            ASSERT_TRUE(db.open());
            QSqlQuery lock(db);
            ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
            locked = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            lock.exec(QStringLiteral("COMMIT"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("lock holder"));
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return locked.load(); }, 10000));
    bravo.OnRequest([this] { QTimer::singleShot(0, [this] { window.reset(); }); });
    ModalScript script({ReasonOk("wallhack")});
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("banButton")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window == nullptr; }, 10000));
    holder.join();

    const auto records = StoredBanHistory(scratch.location(), kTargetGuid);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().server, "Alpha");
    EXPECT_EQ(records.back().reason, "wallhack");
}

INSTANTIATE_TEST_SUITE_P(Windows, BanStateInWindows,
                         ::testing::Values(kPlayerInfoWindow, kFindPlayerWindow),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TempBanDialog, OffersThePresetsAndCustomMinutesAndWantsAReason) {
    CTempBanDlg dialog(QStringLiteral("BadGuy"), nullptr);
    auto* duration = dialog.findChild<QComboBox*>(QStringLiteral("duration"));
    QStringList offered;
    for (int i = 0; i < duration->count(); ++i) {
        offered << duration->itemText(i);
    }
    EXPECT_EQ(offered, (QStringList{"1 hour", "6 hours", "1 day", "2 days", "7 days", "30 days",
                                    "Custom (minutes)"}));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    auto* minutes = dialog.findChild<QSpinBox*>(QStringLiteral("customMinutes"));
    EXPECT_FALSE(ok->isEnabled()) << "no reason yet";
    EXPECT_FALSE(minutes->isEnabled());
    QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("reason")), QStringLiteral(" "));
    EXPECT_FALSE(ok->isEnabled()) << "blanks are no reason";
    QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("reason")), QStringLiteral("x"));
    EXPECT_TRUE(ok->isEnabled());
    duration->setCurrentIndex(6);
    EXPECT_TRUE(minutes->isEnabled());
    EXPECT_EQ(minutes->maximum(), kMaxBanMinutes);
}

// A live player whose ban holds shows it in the panel's Ban column: his GUID
// learnt from his userinfo first, its state asked of the database at the
// next poll.
TEST(ServersPanelBanState, ShowsTheBanOfEachLivePlayer) {
    ScratchDatabase scratch{TestEngine::Sqlite};
    scratch.Create();
    FakeGameServer game("secret");
    game.SetPlayers({{3, "^1Bad^7Guy", "192.0.2.7:27960", kTargetGuid, 12, 48},
                     {5, "Clean", "192.0.2.9:27960", "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", 1, 30}});
    const BanChange banned =
        BanStates(scratch.location()).TempBan({kTargetGuid, "camping", "BadGuy", {}}, 120);
    ASSERT_TRUE(banned.state.has_value());
    AppConfig config;
    config.databasePath = scratch.location();
    config.servers.push_front({"Alpha", "127.0.0.1", game.port(), "secret"});
    ServersPanel panel(config, nullptr);
    panel.show();
    const auto shown = [&](int row) {
        return panel.table(0)->model()->index(row, LivePlayersModel::kBan).data().toString();
    };
    const QString until = QString::fromStdString("banned until " + banned.state->expiryTime);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            panel.PollAll();
            return shown(0) == until;
        },
        10000))
        << shown(0).toStdString();
    EXPECT_EQ(shown(1), "");
    EXPECT_EQ(panel.table(0)->model()->headerData(LivePlayersModel::kBan, Qt::Horizontal), "Ban");
}

} // namespace
