#include "AppConfig.h"
#include "BanStates.h"
#include "CBanMinutesDlg.h"
#include "CBansDlg.h"
#include "FakeGameServer.h"
#include "MessageRecorder.h"
#include "ModalHandler.h"
#include "ScratchDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const std::string kPermanentGuid = "0123456789ABCDEF0123456789ABCDEF";
const std::string kTempGuid = "FEDCBA9876543210FEDCBA9876543210";
const std::string kLiftedGuid = "00000000000000000000000000000001";

// The texts of one column of the list, top to bottom.
QStringList BansColumn(const CBansDlg& window, CBansDlg::Column column) {
    const auto* table = window.findChild<QTableWidget*>(QStringLiteral("bans"));
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        texts << table->item(row, column)->text();
    }
    return texts;
}

QPushButton* BansButton(const CBansDlg& window, const char* name) {
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

QString BansStatus(const CBansDlg& window) {
    return window.findChild<QLabel*>(QStringLiteral("status"))->text();
}

QStringList BansListItems(const CBansDlg& window, const char* name) {
    QStringList texts;
    const auto* list = window.findChild<QListWidget*>(QString::fromLatin1(name));
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

// A permanent ban, a temp-ban of an hour by another admin, and a lifted ban,
// in a scratch database; one server that answers.
class BansWindow : public testing::Test {
protected:
    AppConfig MakeConfig() {
        scratch.Create();
        BanStates(scratch.location(), "alice").Ban({kPermanentGuid, "aimbot", "Bob", "192.0.2.7"});
        BanStates(scratch.location(), "bob").TempBan({kTempGuid, "spam", "Carl", ""}, 60);
        BanStates lifted(scratch.location(), "alice");
        lifted.Ban({kLiftedGuid, "wallhack", "Dave", "192.0.2.8"});
        lifted.Lift(kLiftedGuid, "appeal");
        AppConfig made;
        made.databasePath = scratch.location();
        made.servers = {{"Alpha", "127.0.0.1", alpha.port(), "a"}};
        return made;
    }

    void SetUp() override {
        window.SetMessageSink(&sink);
        window.show();
    }

    bool Select(const std::string& guid) {
        for (const BanState& state : window.states()) {
            if (state.guid == guid && state.ActiveAt(window.states().front().start)) {
                return window.SelectState(state.key);
            }
        }
        return false;
    }

    ScratchDatabase scratch{TestEngine::Sqlite};
    FakeGameServer alpha{"a"};
    AppConfig config = MakeConfig();
    CBansDlg window{config, nullptr};
    MessageRecorder sink;
};

TEST_F(BansWindow, ListsEveryStateWithItsKindTimesAndEnd) {
    QStringList guids = BansColumn(window, CBansDlg::kGuid);
    guids.sort();
    EXPECT_EQ(guids, (QStringList{QString::fromStdString(kLiftedGuid),
                                  QString::fromStdString(kPermanentGuid),
                                  QString::fromStdString(kTempGuid)}));
    EXPECT_EQ(BansStatus(window), "3 bans");
    for (int row = 0; row < 3; ++row) {
        const BanState& state = window.states()[static_cast<std::size_t>(row)];
        const QStringList texts = [&] {
            QStringList line;
            for (int column = 0; column < CBansDlg::kColumnCount; ++column) {
                line << BansColumn(window, static_cast<CBansDlg::Column>(column))[row];
            }
            return line;
        }();
        if (state.guid == kPermanentGuid) {
            EXPECT_EQ(texts.mid(0, 8),
                      (QStringList{"active", "permanent", QString::fromStdString(kPermanentGuid),
                                   "Bob", "aimbot", "alice",
                                   QString::fromStdString(state.startTime), "permanent"}));
        } else if (state.guid == kTempGuid) {
            EXPECT_EQ(texts[CBansDlg::kKind], "temporary");
            EXPECT_EQ(texts[CBansDlg::kExpiry], QString::fromStdString(state.expiryTime));
            EXPECT_EQ(texts[CBansDlg::kIssuedBy], "bob");
        } else {
            EXPECT_EQ(texts.mid(CBansDlg::kEnded),
                      (QStringList{QString::fromStdString(state.endedTime), "alice", "appeal"}));
            EXPECT_EQ(texts[CBansDlg::kStatus], "lifted");
        }
    }
    ASSERT_TRUE(Select(kPermanentGuid));
    EXPECT_EQ(BansListItems(window, "stateHistory").size(), 1);
    EXPECT_TRUE(BansButton(window, "liftButton")->isEnabled());
    EXPECT_FALSE(BansButton(window, "extendButton")->isEnabled()); // permanent
    ASSERT_TRUE(Select(kTempGuid));
    EXPECT_TRUE(BansButton(window, "extendButton")->isEnabled());

    // Typing reads the list again once the typing pauses.
    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("nameFilter")),
                     QStringLiteral("dav"));
    EXPECT_EQ(BansStatus(window), "3 bans");
    EXPECT_TRUE(QTest::qWaitFor([this] { return BansStatus(window) == "1 ban"; }, 5000));
    EXPECT_EQ(BansColumn(window, CBansDlg::kName), QStringList{"Dave"});
}

struct FilterCase {
    const char* name;
    std::string guid, player, admin;
    bool activeOnly;
    std::vector<std::string> guids; // sorted
    const char* status;
};

class BansWindowFilter : public BansWindow, public testing::WithParamInterface<FilterCase> {};

TEST_P(BansWindowFilter, ShowsOnlyWhatEveryFilterAllows) {
    const FilterCase& c = GetParam();
    window.findChild<QLineEdit*>(QStringLiteral("guidFilter"))
        ->setText(QString::fromStdString(c.guid));
    window.findChild<QLineEdit*>(QStringLiteral("nameFilter"))
        ->setText(QString::fromStdString(c.player));
    window.findChild<QLineEdit*>(QStringLiteral("adminFilter"))
        ->setText(QString::fromStdString(c.admin));
    // The texts are read after a pause in typing, or at once on Enter; the
    // box reads the list again at once.
    QTest::keyClick(window.findChild<QLineEdit*>(QStringLiteral("nameFilter")), Qt::Key_Return);
    if (c.activeOnly) {
        QTest::mouseClick(window.findChild<QCheckBox*>(QStringLiteral("activeOnly")),
                          Qt::LeftButton, {}, QPoint(4, 4));
    }
    EXPECT_EQ(BansStatus(window), c.status);
    QStringList guids = BansColumn(window, CBansDlg::kGuid);
    guids.sort();
    QStringList expected;
    for (const std::string& guid : c.guids) {
        expected << QString::fromStdString(guid);
    }
    EXPECT_EQ(guids, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, BansWindowFilter,
    testing::Values(
        FilterCase{"ActiveOnly", "", "", "", true, {kPermanentGuid, kTempGuid}, "2 bans"},
        FilterCase{"NameInAnyCase", "", "CARL", "", false, {kTempGuid}, "1 ban"},
        FilterCase{"Admin", "", "", "alice", false, {kLiftedGuid, kPermanentGuid}, "2 bans"},
        FilterCase{"AdminAndActive", "", "", "alice", true, {kPermanentGuid}, "1 ban"},
        FilterCase{"WholeGuidLowerCase",
                   "fedcba9876543210fedcba9876543210",
                   "",
                   "",
                   false,
                   {kTempGuid},
                   "1 ban"},
        FilterCase{"PartOfAGuid",
                   "FEDCBA",
                   "",
                   "",
                   false,
                   {},
                   "Type the whole GUID: 32 hexadecimal digits."},
        FilterCase{"Nobody", "", "nobody", "", false, {}, "No ban found"}),
    [](const testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

TEST_F(BansWindow, LiftAsksWhyAndUnbansAPermanentBanOnTheServers) {
    alpha.AddBan(kPermanentGuid);
    ASSERT_TRUE(Select(kPermanentGuid));
    {
        const ModalHandler why([](QWidget* modal) {
            auto* question = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(question, nullptr);
            EXPECT_EQ(question->labelText(), "Why is the ban of Bob lifted?");
            question->setTextValue(QStringLiteral("appeal won"));
            question->accept();
        });
        QTest::mouseClick(BansButton(window, "liftButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window.flowRunning(); }, 30000));
    }
    EXPECT_FALSE(alpha.IsBanned(kPermanentGuid));
    EXPECT_EQ(sink.messages, (std::vector<Message>{{"GUID removed from ban list", "Alpha"}}));
    const auto lifted = BanStates(scratch.location()).History(kPermanentGuid);
    ASSERT_EQ(lifted.size(), 1u);
    EXPECT_EQ(lifted[0].liftReason, "appeal won");
    EXPECT_FALSE(BanStates(scratch.location()).Active(kPermanentGuid));
    EXPECT_FALSE(BansButton(window, "liftButton")->isEnabled());

    // A temp-ban is on no server's list: lifted in the state only.
    ASSERT_TRUE(Select(kTempGuid));
    window.Lift("");
    EXPECT_EQ(alpha.commands().size(), 1u);
    EXPECT_FALSE(BanStates(scratch.location()).Active(kTempGuid));
}

TEST_F(BansWindow, ExtendTakesAPresetOrACustomNumberOfMinutes) {
    const struct {
        int choice; // the combo's row; the last is Custom
        int custom;
        long long minutes;
    } steps[] = {{2, 0, 24 * 60}, {6, 90, 90}};
    for (const auto& step : steps) {
        ASSERT_TRUE(Select(kTempGuid));
        const std::int64_t before = *window.SelectedState()->expiry;
        const ModalHandler answer([&step](QWidget* modal) {
            auto* dialog = qobject_cast<CBanMinutesDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            auto* choice = dialog->findChild<QComboBox*>(QStringLiteral("duration"));
            EXPECT_EQ(choice->count(), 7);
            choice->setCurrentIndex(step.choice);
            auto* custom = dialog->findChild<QSpinBox*>(QStringLiteral("customMinutes"));
            EXPECT_EQ(custom->isEnabled(), step.custom != 0);
            if (step.custom != 0) {
                custom->setValue(step.custom);
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(BansButton(window, "extendButton"), Qt::LeftButton);
        ASSERT_EQ(answer.seen, 1);
        const BanState* extended = window.SelectedState();
        ASSERT_NE(extended, nullptr);
        EXPECT_EQ(extended->guid, kTempGuid);
        EXPECT_EQ(*extended->expiry, before + step.minutes * 60);
    }
    // The extensions replaced the state twice.
    EXPECT_EQ(BanStates(scratch.location()).History(kTempGuid).size(), 3u);
}

TEST_F(BansWindow, SyncShowsItsProgressAndEachServersResult) {
    QTest::mouseClick(BansButton(window, "syncButton"), Qt::LeftButton);
    EXPECT_TRUE(window.syncRunning());
    EXPECT_TRUE(window.findChild<QProgressBar*>(QStringLiteral("syncProgress"))->isVisible());
    EXPECT_FALSE(BansButton(window, "syncButton")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window.syncRunning(); }, 30000));
    EXPECT_TRUE(alpha.IsBanned(kPermanentGuid));
    EXPECT_FALSE(alpha.IsBanned(kTempGuid));
    EXPECT_EQ(BansListItems(window, "syncResults"),
              QStringList{"Alpha: sent 1, succeeded 1, failed 0, already held 0"});
    EXPECT_EQ(BansStatus(window), "Every server holds every permanent ban.");
    EXPECT_FALSE(window.findChild<QProgressBar*>(QStringLiteral("syncProgress"))->isVisible());
    EXPECT_TRUE(BansButton(window, "syncButton")->isEnabled());
    EXPECT_TRUE(sink.messages.empty());
}

TEST(BansWindowWithoutDatabase, SaysSoAndOffersNothing) {
    AppConfig config;
    CBansDlg window(config, nullptr);
    EXPECT_EQ(BansStatus(window), "No player database is configured.");
    for (const char* button : {"liftButton", "extendButton", "syncButton"}) {
        EXPECT_FALSE(BansButton(window, button)->isEnabled()) << button;
    }
}

} // namespace
