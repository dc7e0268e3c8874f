// The Player Info window on its own: how a pick fills it, and Ban and Unban
// over fake game servers with the Ban reason dialog answered as a user would.
#include "AppConfig.h"
#include "BanHistoryList.h"
#include "BanRecordStore.h"
#include "CBanReasonDlg.h"
#include "CFindPlayerDlg.h"
#include "CPlayerInfoDlg.h"
#include "FakeGameServer.h"
#include "GuidTable.h"
#include "HandLog.h"
#include "MessageRecorder.h"
#include "ModalScript.h"
#include "PlayerInfoWindow.h"
#include "PlayerSchema.h"
#include "PlayerSlotTable.h"
#include "ReadOnlyDatabase.h"
#include "ScratchDatabase.h"
#include "SqlPlayerLookup.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const std::string kGuid = "0123456789ABCDEF0123456789ABCDEF";
const std::string kAdded = "GUID added to ban list";

// A log line naming a player: "say: <name>: hi", the name laid as a segment
// of kind 4, pointing at a connection of slot 0 or at none.
class PickedName {
public:
    PickedName(const std::string& name, bool connected) : log_("   0:01 say: " + name + ": hi\n") {
        log_.Lay(0, {{13, static_cast<int>(name.size()), 4}});
        if (connected) {
            log_.MutableLine(0).segments[0].player = &slots_.SetConnection(0, kGuid, "10.0.0.7");
        }
    }

    void AddAlias(const std::string& name) { guids_.AddAlias(kGuid, name); }

    void FillInto(CPlayerInfoDlg& dialog) {
        const LineView& line = log_.Line(0);
        dialog.Fill(line, line.segments[0], guids_);
    }

private:
    HandLog log_;
    PlayerSlotTable slots_;
    GuidTable guids_;
};

// Clicks a button that starts a ban or unban and waits, in the event loop,
// until the flow is over (every answer in, every message acknowledged).
template <typename Window> void ClickAndAwaitFlow(Window& window, QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&window] { return !window.flowRunning(); }, 30000));
}

// A Player Info window over its own configuration, its messages recorded.
class PlayerInfo : public ::testing::Test {
protected:
    void SetUp() override { dialog.SetMessageSink(&sink); }

    QPushButton* Button(const char* name) { return FindButton(dialog, name); }

    AppConfig config;
    CPlayerInfoDlg dialog{config, nullptr};
    MessageRecorder sink;
};

TEST_F(PlayerInfo, LooksAsDescribed) {
    EXPECT_EQ(dialog.windowTitle(), "Player Info");
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        labels << label->text();
    }
    // The last is the GUID's ban state, empty with no database.
    EXPECT_EQ(labels, (QStringList{"Name:", "IP:", "Guid:", "Aliases", "Ban history", ""}));
    ASSERT_NE(Button("aliasesButton"), nullptr);
    EXPECT_EQ(Button("aliasesButton")->text(), "Aliases from\n  database");
    ASSERT_NE(Button("closeButton"), nullptr);
    EXPECT_EQ(Button("closeButton")->text(), "Close");
    EXPECT_TRUE(Button("closeButton")->isDefault());
    ASSERT_NE(Button("banButton"), nullptr);
    EXPECT_EQ(Button("banButton")->text(), "Ban");
    ASSERT_NE(Button("unbanButton"), nullptr);
    EXPECT_EQ(Button("unbanButton")->text(), "Unban");
    // The group frames Ban and Unban.
    const auto* group = dialog.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->geometry().contains(Button("banButton")->geometry()));
    EXPECT_TRUE(group->geometry().contains(Button("unbanButton")->geometry()));
    for (const char* edit : {"name", "ip", "guid"}) {
        EXPECT_TRUE(dialog.findChild<QLineEdit*>(edit)->isReadOnly()) << edit;
    }
}

TEST_F(PlayerInfo, FillsFromTheConnectionTheNameNames) {
    PickedName pick("^1B\xE9\"b", true);
    pick.AddAlias("^1Bob");
    pick.AddAlias("J\xF6rg");
    pick.AddAlias("Alice");
    pick.FillInto(dialog);

    EXPECT_EQ(ReadPlayerInfo(dialog), (ShownPlayer{QString::fromUtf8("^1Bé\"b"),
                                                   "10.0.0.7",
                                                   QString::fromStdString(kGuid),
                                                   {"Alice", QString::fromUtf8("Jörg"), "^1Bob"}}));
    // What Ban sends is the log's bytes, colour codes and all.
    EXPECT_EQ(dialog.nameText(), "^1B\xE9\"b");
    EXPECT_EQ(dialog.ipText(), "10.0.0.7");
    EXPECT_EQ(dialog.guidText(), kGuid);
}

TEST_F(PlayerInfo, NameWithoutConnectionHasNoConnectionData) {
    PickedName earlier("Bob", true);
    earlier.AddAlias("Bob");
    earlier.FillInto(dialog);
    PickedName pick("Ghost", false);
    pick.FillInto(dialog);

    EXPECT_EQ(ReadPlayerInfo(dialog), (ShownPlayer{"Ghost", "No connection data", "", {}}));
    EXPECT_EQ(dialog.guidText(), "");
    EXPECT_TRUE(Button("banButton")->isEnabled());
    EXPECT_TRUE(Button("unbanButton")->isEnabled());
}

struct DatabaseCase {
    const char* name;
    const char* databasePath;
    bool enabled;
};

void PrintTo(const DatabaseCase& c, std::ostream* os) {
    *os << c.name;
}

class AliasesButton : public ::testing::TestWithParam<DatabaseCase> {};

TEST_P(AliasesButton, IsEnabledOnlyWithADatabase) {
    AppConfig config;
    config.databasePath = GetParam().databasePath;
    CPlayerInfoDlg dialog(config, nullptr);
    PickedName("Bob", true).FillInto(dialog);
    EXPECT_EQ(dialog.databaseAvailable(), GetParam().enabled);
    EXPECT_EQ(FindButton(dialog, "aliasesButton")->isEnabled(), GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(Databases, AliasesButton,
                         ::testing::Values(DatabaseCase{"NoDatabase", "", false},
                                           DatabaseCase{"SqliteFile", "players.sqlite", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlayerInfoAliases, ButtonAsksTheDatabaseOverThePlayerInfoWindow) {
    QTemporaryDir folder;
    const std::string file = folder.filePath(QStringLiteral("players.sqlite")).toStdString();
    std::string error;
    ASSERT_TRUE(InitPlayerDatabase(file, error)) << error;
    AppConfig config;
    config.databasePath = file;
    CPlayerInfoDlg dialog(config, nullptr);
    PickedName("Bob", true).FillInto(dialog);
    dialog.show();

    // Whatever the empty database answers, it is told over this window.
    QWidget* owner = nullptr;
    ModalScript script({[&](QWidget& window) { owner = window.parentWidget(); }});
    QTest::mouseClick(FindButton(dialog, "aliasesButton"), Qt::LeftButton);

    EXPECT_EQ(script.shown(), 1);
    EXPECT_EQ(owner, &dialog);
}

// Three fake servers, in the list order Alpha, Bravo, Charlie.
class PlayerInfoFlows : public PlayerInfo {
protected:
    void SetUp() override {
        PlayerInfo::SetUp();
        config.servers = {{"Alpha", "127.0.0.1", alpha.port(), "a-pass"},
                          {"Bravo", "127.0.0.1", bravo.port(), "b-pass"},
                          {"Charlie", "127.0.0.1", charlie.port(), "c-pass"}};
        dialog.bans().SetAskEachServer(true); // a reason per server, as these cases answer
        pick.FillInto(dialog);
        dialog.show();
    }

    // A reason dialog step: notes its prompt and the reason it showed, then
    // types `reason` and presses OK, or presses Cancel when there is none.
    ModalScript::Step Answer(std::optional<QString> reason) {
        return [this, reason](QWidget& window) {
            auto* reasons = qobject_cast<CBanReasonDlg*>(&window);
            ASSERT_NE(reasons, nullptr);
            EXPECT_EQ(reasons->windowTitle(), "Ban reason");
            prompts << reasons->promptText();
            reasonsShown << reasons->reasonText();
            if (!reason) {
                QTest::mouseClick(FindButton(window, "cancelButton"), Qt::LeftButton);
                return;
            }
            QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("reason")), *reason);
            QTest::mouseClick(FindButton(window, "okButton"), Qt::LeftButton);
        };
    }

    FakeGameServer alpha{"a-pass"}, bravo{"b-pass"}, charlie{"c-pass"};
    PickedName pick{"^1Bad^7Guy", true};
    QStringList prompts;
    QStringList reasonsShown;
};

TEST_F(PlayerInfoFlows, BanAsksEveryServerAndCancelSkipsOnlyThatOne) {
    ModalScript script({Answer("wall hack"), Answer(std::nullopt), Answer("aimbot")});
    ClickAndAwaitFlow(dialog, Button("banButton"));

    EXPECT_EQ(prompts, (QStringList{"Enter ban reason for Alpha", "Enter ban reason for Bravo",
                                    "Enter ban reason for Charlie"}));
    // The reason is empty at every prompt, whatever was typed before.
    EXPECT_EQ(reasonsShown, (QStringList{"", "", ""}));
    ASSERT_EQ(alpha.received().size(), 1u);
    EXPECT_EQ(alpha.received()[0], "\xFF\xFF\xFF\xFFrcon \"a-pass\" pb_sv_banguid " + kGuid +
                                       " \"^1Bad^7Guy\" 10.0.0.7 \"wall hack\"");
    EXPECT_TRUE(bravo.received().empty());
    ASSERT_EQ(charlie.received().size(), 1u);
    EXPECT_TRUE(charlie.received()[0].ends_with(" \"aimbot\""));
    EXPECT_EQ(sink.messages, (std::vector<Message>{{kAdded, "Alpha", MessageIcon::None},
                                                   {kAdded, "Charlie", MessageIcon::None}}));
    EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(PlayerInfoFlows, SilentServerEndsInNoReplyAndTheOthersStillAnswer) {
    // The wait ends on the window's own reply timer.
    bravo.StaySilent();
    ModalScript script({Answer("a"), Answer("b"), Answer("c")});
    ClickAndAwaitFlow(dialog, Button("banButton"));

    EXPECT_EQ(sink.messages, (std::vector<Message>{{kAdded, "Alpha", MessageIcon::None},
                                                   {"No reply", "Bravo", MessageIcon::Error},
                                                   {kAdded, "Charlie", MessageIcon::None}}));
}

TEST_F(PlayerInfoFlows, UnbanSendsTheGuidWithoutAQuestion) {
    alpha.AddBan(kGuid);
    charlie.AddBan(kGuid);
    ModalScript script;
    ClickAndAwaitFlow(dialog, Button("unbanButton"));

    EXPECT_EQ(script.shown(), 0);
    EXPECT_EQ(alpha.received(), (std::vector<std::string>{
                                    "\xFF\xFF\xFF\xFFrcon \"a-pass\" pb_sv_unbanguid " + kGuid}));
    EXPECT_EQ(sink.messages,
              (std::vector<Message>{
                  {"GUID removed from ban list", "Alpha", MessageIcon::None},
                  {"Unban failed\nUsually this happens if the\nsupplied GUID is not banned",
                   "Bravo", MessageIcon::Warning},
                  {"GUID removed from ban list", "Charlie", MessageIcon::None}}));
}

TEST_F(PlayerInfoFlows, NoServersIsOneWarningAndNoQuestion) {
    config.servers.clear();
    ModalScript script;
    ClickAndAwaitFlow(dialog, Button("banButton"));
    ClickAndAwaitFlow(dialog, Button("unbanButton"));

    EXPECT_EQ(script.shown(), 0);
    const Message warning{"No servers configured", "Warning", MessageIcon::Warning};
    EXPECT_EQ(sink.messages, (std::vector<Message>{warning, warning}));
}

TEST_F(PlayerInfoFlows, APlayerWithoutConnectionDataIsRefusedBeforeAnyQuestion) {
    PickedName ghost("Ghost", false);
    ghost.FillInto(dialog);
    ModalScript script;
    ClickAndAwaitFlow(dialog, Button("banButton"));
    ClickAndAwaitFlow(dialog, Button("unbanButton"));

    EXPECT_EQ(script.shown(), 0) << "no reason is asked";
    EXPECT_TRUE(alpha.received().empty());
    EXPECT_TRUE(bravo.received().empty());
    EXPECT_TRUE(charlie.received().empty());
    const Message refusal{"No connection data for this player: nothing was sent", "Quarvel",
                          MessageIcon::Warning};
    EXPECT_EQ(sink.messages, (std::vector<Message>{refusal, refusal}));
    EXPECT_TRUE(Button("banButton")->isEnabled());
}

TEST_F(PlayerInfoFlows, ResultBoxesNameTheServerAndShowTheirCaptionWhole) {
    dialog.SetMessageSink(nullptr); // the window's own message boxes
    config.servers = {{"The public server with a long name", "127.0.0.1", alpha.port(), "a-pass"}};
    QString title;
    QString text;
    int width = 0;
    int wanted = 0;
    ModalScript script({Answer("r"), [&](QWidget& window) {
                            auto* box = qobject_cast<QMessageBox*>(&window);
                            ASSERT_NE(box, nullptr);
                            title = box->windowTitle();
                            text = box->text();
                            width = box->width();
                            wanted = MessageBoxSink::CaptionWidth(*box);
                            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
                        }});
    ClickAndAwaitFlow(dialog, Button("banButton"));

    EXPECT_EQ(title, "The public server with a long name");
    EXPECT_EQ(text, "The public server with a long name: GUID added to ban list");
    EXPECT_GE(width, wanted);
    EXPECT_GT(wanted, QFontMetrics(dialog.font()).horizontalAdvance(title));
    EXPECT_EQ(script.unexpected(), 0);
}

struct FlowCase {
    const char* name;
    const char* button;
    int reasons; // reason prompts the flow asks
};

void PrintTo(const FlowCase& c, std::ostream* os) {
    *os << c.name;
}

class PlayerInfoDuringAFlow : public PlayerInfoFlows,
                              public ::testing::WithParamInterface<FlowCase> {};

TEST_P(PlayerInfoDuringAFlow, BanAndUnbanAreDisabledAndStartNothing) {
    std::vector<bool> enabledDuring;
    bravo.OnRequest([&] {
        // Bravo's wait is running: a click on either button does nothing.
        enabledDuring = {Button("banButton")->isEnabled(), Button("unbanButton")->isEnabled()};
        QTest::mouseClick(Button("banButton"), Qt::LeftButton);
        QTest::mouseClick(Button("unbanButton"), Qt::LeftButton);
    });
    std::deque<ModalScript::Step> steps;
    for (int i = 0; i < GetParam().reasons; ++i) {
        steps.push_back(Answer("r"));
    }
    ModalScript script(std::move(steps));
    ClickAndAwaitFlow(dialog, Button(GetParam().button));

    EXPECT_EQ(enabledDuring, (std::vector<bool>{false, false}));
    EXPECT_TRUE(Button("banButton")->isEnabled());
    EXPECT_TRUE(Button("unbanButton")->isEnabled());
    EXPECT_FALSE(dialog.flowRunning());
    EXPECT_EQ(script.shown(), GetParam().reasons);
    EXPECT_EQ(alpha.received().size(), 1u);
    EXPECT_EQ(bravo.received().size(), 1u);
    EXPECT_EQ(charlie.received().size(), 1u);
    EXPECT_EQ(sink.messages.size(), 3u);
}

TEST_P(PlayerInfoDuringAFlow, CloseWaitsForTheFlowToEnd) {
    bool visibleAfterClose = false;
    alpha.OnRequest([&] {
        QTest::mouseClick(Button("closeButton"), Qt::LeftButton);
        visibleAfterClose = dialog.isVisible();
    });
    std::deque<ModalScript::Step> steps;
    for (int i = 0; i < GetParam().reasons; ++i) {
        steps.push_back(Answer("r"));
    }
    ModalScript script(std::move(steps));
    ClickAndAwaitFlow(dialog, Button(GetParam().button));

    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(charlie.received().size(), 1u); // the flow went on to the last server
    EXPECT_FALSE(dialog.isVisible());         // and then the window closed
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(Flows, PlayerInfoDuringAFlow,
                         ::testing::Values(FlowCase{"Ban", "banButton", 3},
                                           FlowCase{"Unban", "unbanButton", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// With a player database: the flows' records, the GUID's history beside the
// window, and the button that opens Find player on the GUID.
class PlayerInfoRecords : public ::testing::Test {
protected:
    AppConfig MakeConfig() {
        scratch.Create();
        AppConfig made;
        made.databasePath = scratch.location();
        made.servers = {{"Alpha", "127.0.0.1", alpha.port(), "a-pass"},
                        {"Bravo", "127.0.0.1", bravo.port(), "b-pass"}};
        return made;
    }

    void SetUp() override {
        dialog.SetMessageSink(&sink);
        dialog.SetRecordIdentity("alice", [] { return BanTime{1075665909, 3600}; });
        dialog.bans().SetAskEachServer(true);
    }

    void FillAndShow() {
        pick.FillInto(dialog);
        dialog.show();
        ASSERT_TRUE(HistoryRead());
    }

    bool HistoryRead() {
        return QTest::qWaitFor([this] { return !dialog.banHistory().busy(); }, 10000);
    }

    QStringList History() const {
        QStringList lines;
        const BanHistoryList& list = dialog.banHistory();
        for (int i = 0; i < list.count(); ++i) {
            lines << list.item(i)->text();
        }
        return lines;
    }

    ScratchDatabase scratch{TestEngine::Sqlite};
    FakeGameServer alpha{"a-pass"}, bravo{"b-pass"};
    AppConfig config = MakeConfig();
    CPlayerInfoDlg dialog{config, nullptr};
    MessageRecorder sink;
    PickedName pick{"^1Bad^7Guy", true};
};

TEST_F(PlayerInfoRecords, ShowsTheGuidsHistoryAndKeepsEveryServersOutcome) {
    {
        BanRecordStore earlier(scratch.location(), "bob", [] { return BanTime{1000, 0}; });
        const BanTarget target{kGuid, "10.0.0.7", "Guy"};
        const ServerResult result{"Old", ServerOutcome::Done, {kAdded, "Old"}};
        earlier.Record({BanAction::Ban, target, "spam", result});
    }
    FillAndShow();
    EXPECT_EQ(History(), QStringList{"1970-01-01T00:16:40+00:00  ban on Old by bob: GUID added "
                                     "to ban list (reason: spam)"});

    bravo.StaySilent();
    ModalScript script({[](QWidget& window) {
                            QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("reason")),
                                             QStringLiteral("aimbot"));
                            QTest::mouseClick(FindButton(window, "okButton"), Qt::LeftButton);
                        },
                        [](QWidget& window) {
                            QTest::mouseClick(FindButton(window, "okButton"), Qt::LeftButton);
                        }});
    ClickAndAwaitFlow(dialog, FindButton(dialog, "banButton"));
    EXPECT_EQ(sink.messages, (std::vector<Message>{
                                 {kAdded, "Alpha", MessageIcon::None},
                                 {"No reply", "Bravo", MessageIcon::Error},
                                 {"Ban state: Banned permanently", "Quarvel", MessageIcon::None}}));
    ASSERT_TRUE(HistoryRead());
    const QString at = QStringLiteral("2004-02-01T21:05:09+01:00");
    EXPECT_EQ(
        History(),
        (QStringList{at + "  ban for all servers by alice: Banned permanently (reason: aimbot)",
                     at + "  ban on Bravo by alice: No reply",
                     at + "  ban on Alpha by alice: GUID added to ban list "
                          "(reason: aimbot)",
                     "1970-01-01T00:16:40+00:00  ban on Old by bob: GUID added "
                     "to ban list (reason: spam)"}));

    ClickAndAwaitFlow(dialog, FindButton(dialog, "unbanButton"));
    SqlPlayerLookup lookup(scratch.location());
    lookup.Open();
    const auto records = lookup.BanHistory(kGuid, 3);
    lookup.Close();
    ASSERT_EQ(records.size(), 3u); // the state's, Bravo's, Alpha's
    // What the window knew of the player goes into an unban's records too.
    EXPECT_EQ(records[2], (BanRecord{at.toStdString(), "unban", kGuid, "^1Bad^7Guy", "10.0.0.7", "",
                                     "Alpha", "GUID removed from ban list", "alice"}));
}

TEST_F(PlayerInfoRecords, ARecordNotStoredIsToldAfterTheServersAndTheBanStands) {
    FillAndShow();
    MakeReadOnly(scratch, TestEngine::Sqlite);
    ModalScript script(
        {[](QWidget& window) { QTest::mouseClick(FindButton(window, "okButton"), Qt::LeftButton); },
         [](QWidget& window) {
             QTest::mouseClick(FindButton(window, "okButton"), Qt::LeftButton);
         }});
    ClickAndAwaitFlow(dialog, FindButton(dialog, "banButton"));
    EXPECT_TRUE(alpha.IsBanned(kGuid));
    EXPECT_TRUE(bravo.IsBanned(kGuid));
    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_EQ(sink.messages[2].caption, "Quarvel");
    EXPECT_TRUE(sink.messages[2].text.starts_with(
        "The ban went ahead on the servers, but the ban state was not kept:\n"))
        << sink.messages[2].text;
    EXPECT_EQ(sink.messages[3].caption, "Quarvel");
    EXPECT_TRUE(sink.messages[3].text.starts_with(
        "The ban went ahead, but the player database did not store 2 of its 2 records:\n"))
        << sink.messages[3].text;
}

TEST_F(PlayerInfoRecords, FindPlayerOpensOnTheGuidOverThisWindow) {
    FillAndShow();
    QString mode;
    QString text;
    QWidget* owner = nullptr;
    ModalScript script({[&](QWidget& window) {
        auto* find = qobject_cast<CFindPlayerDlg*>(&window);
        ASSERT_NE(find, nullptr);
        owner = window.parentWidget();
        mode = window.findChild<QComboBox*>(QStringLiteral("searchMode"))->currentText();
        text = window.findChild<QLineEdit*>(QStringLiteral("searchText"))->text();
    }});
    ASSERT_NE(FindButton(dialog, "findPlayerButton"), nullptr);
    EXPECT_EQ(FindButton(dialog, "findPlayerButton")->text(), "Find player...");
    QTest::mouseClick(FindButton(dialog, "findPlayerButton"), Qt::LeftButton);
    EXPECT_EQ(script.shown(), 1);
    EXPECT_EQ(owner, &dialog);
    EXPECT_EQ(mode, "GUID");
    EXPECT_EQ(text, QString::fromStdString(kGuid));
}

TEST(PlayerInfoWithoutDatabase, HasNoHistoryAndNoFindPlayer) {
    AppConfig config;
    CPlayerInfoDlg dialog(config, nullptr);
    PickedName("Bob", true).FillInto(dialog);
    EXPECT_FALSE(FindButton(dialog, "findPlayerButton")->isEnabled());
    EXPECT_EQ(dialog.banHistory().count(), 0);
    EXPECT_FALSE(dialog.banHistory().busy());
}

} // namespace
