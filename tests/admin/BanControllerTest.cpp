// The one ban flow of Player Info and Find player, each case run in both
// windows over three fake game servers and a scratch database: the reason
// asked once or server by server, what each answer says, the records, and a
// close held while the flow runs.
#include "BanController.h"

#include "AppConfig.h"
#include "BanWindowKinds.h"
#include "CBanReasonDlg.h"
#include "CFindPlayerDlg.h"
#include "CPlayerInfoDlg.h"
#include "FakeGameServer.h"
#include "MessageRecorder.h"
#include "ModalScript.h"
#include "ScratchDatabase.h"
#include "ServersPanel.h"
#include "StoredPlayers.h"
#include "UserSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

const QString kEachServerKey = QStringLiteral("Settings/BanReasonForEachServer");

// A reason question as it showed.
struct AskedReason {
    QString prompt; // as answered, after the box was set
    bool offered;   // "Ask for each server" was there
    bool ticked;    // and ticked as the question opened
    bool operator==(const AskedReason&) const = default;
};

void PrintTo(const AskedReason& a, std::ostream* os) {
    *os << "{" << a.prompt.toStdString() << (a.offered ? ", offered" : "")
        << (a.ticked ? ", ticked" : "") << "}";
}

// The reason of each ban a server was sent, in order.
std::vector<std::string> ReasonsSent(const FakeGameServer& server) {
    std::vector<std::string> reasons;
    for (const std::string& command : server.commands()) {
        const std::size_t last = command.rfind('"');
        const std::size_t first = command.rfind('"', last - 1);
        if (command.starts_with("pb_sv_banguid") && first != std::string::npos) {
            reasons.push_back(command.substr(first + 1, last - first - 1));
        }
    }
    return reasons;
}

using Sent = std::vector<std::string>;

class OneBanFlow : public BanWindowTest {
protected:
    void SetUp() override {
        UserSettings().remove(kEachServerKey);
        ShowWindow([] { return BanTime{1075665909, 3600}; });
        QObject::connect(&bans(), &BanController::finished,
                         [this](BanAction, const std::vector<ServerResult>& results) {
                             outcomes.clear();
                             for (const ServerResult& result : results) {
                                 outcomes.push_back(result.outcome);
                             }
                         });
    }

    void TearDown() override { UserSettings().remove(kEachServerKey); }

    QPushButton* WindowButton(const char* name) {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    void BanAndAwait() {
        QTest::mouseClick(WindowButton("banButton"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !bans().running(); }, 30000));
    }

    // A reason question's step: notes it, sets "Ask for each server" when
    // `tick` says, then types `reason` and presses OK, or presses Cancel
    // when there is none.
    ModalScript::Step Reply(std::optional<QString> reason, std::optional<bool> tick = {}) {
        return [this, reason, tick](QWidget& modal) {
            auto* dialog = qobject_cast<CBanReasonDlg*>(&modal);
            ASSERT_NE(dialog, nullptr);
            auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("eachServer"));
            ASSERT_NE(box, nullptr);
            const bool offered = box->isVisibleTo(dialog);
            const bool ticked = box->isChecked();
            if (tick && *tick != ticked) {
                QTest::mouseClick(box, Qt::LeftButton);
            }
            asked.push_back({dialog->promptText(), offered, offered && ticked});
            if (!reason) {
                QTest::mouseClick(modal.findChild<QPushButton*>(QStringLiteral("cancelButton")),
                                  Qt::LeftButton);
                return;
            }
            QTest::keyClicks(modal.findChild<QLineEdit*>(QStringLiteral("reason")), *reason);
            QTest::mouseClick(modal.findChild<QPushButton*>(QStringLiteral("okButton")),
                              Qt::LeftButton);
        };
    }

    std::vector<BanRecord> Records() { return StoredBanHistory(scratch.location(), kTargetGuid); }

    std::vector<AskedReason> asked;
    std::vector<ServerOutcome> outcomes;
};

TEST_P(OneBanFlow, AsksTheReasonOnceForEveryServer) {
    ModalScript script({Reply("aimbot")});
    BanAndAwait();

    EXPECT_EQ(asked,
              (std::vector<AskedReason>{{"Enter ban reason for all 3 servers", true, false}}));
    for (const FakeGameServer* server : {&alpha, &bravo, &charlie}) {
        EXPECT_EQ(ReasonsSent(*server), Sent{"aimbot"});
    }
    // The servers' answers, then the state's line.
    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_EQ(sink.messages.back(),
              (Message{"Ban state: Banned permanently", "Quarvel", MessageIcon::None}));
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_FALSE(UserSettings().contains(kEachServerKey)) << "nothing chosen, nothing kept";
}

TEST_P(OneBanFlow, CancelAtTheOneQuestionSendsNothing) {
    ModalScript script({Reply(std::nullopt)});
    BanAndAwait();

    EXPECT_EQ(script.shown(), 1);
    EXPECT_TRUE(alpha.received().empty());
    EXPECT_TRUE(bravo.received().empty());
    EXPECT_TRUE(charlie.received().empty());
    EXPECT_EQ(sink.messages, std::vector<Message>{});
    EXPECT_EQ(outcomes, std::vector<ServerOutcome>(3, ServerOutcome::Skipped));
    EXPECT_EQ(Records(), std::vector<BanRecord>{});
    EXPECT_TRUE(WindowButton("banButton")->isEnabled());
}

// "Ask for each server", one ban after another in the same window: ticked at
// the first question it is kept for the bans to come; cleared at a later one
// its reason (or its Cancel) goes for the servers left.
TEST_P(OneBanFlow, AskForEachServerAsksServerByServer) {
    struct Row {
        const char* what;
        std::deque<ModalScript::Step> steps;
        std::vector<AskedReason> questions;
        Sent toAlpha, toBravo, toCharlie; // the reasons each server was sent
        bool kept;                        // the choice the next ban starts with
    };
    const std::vector<Row> rows{
        {"ticked at the first, Cancel at the second skips only that server",
         {Reply("r1", true), Reply(std::nullopt), Reply("r3")},
         {{"Enter ban reason for Alpha", true, false},
          {"Enter ban reason for Bravo", true, true},
          {"Enter ban reason for Charlie", false, false}},
         {"r1"},
         {},
         {"r3"},
         true},
        {"cleared at the second: its reason for the rest",
         {Reply("one"), Reply("rest", false)},
         {{"Enter ban reason for Alpha", true, true},
          {"Enter ban reason for Bravo and the 1 server after it", true, true}},
         {"one"},
         {"rest"},
         {"rest"},
         true},
        {"cleared at the second, then Cancel: nothing more is sent",
         {Reply("x"), Reply(std::nullopt, false)},
         {{"Enter ban reason for Alpha", true, true},
          {"Enter ban reason for Bravo and the 1 server after it", true, true}},
         {"x"},
         {},
         {},
         true},
        {"cleared at the first: once for every server again, and kept",
         {Reply("all", false)},
         {{"Enter ban reason for all 3 servers", true, true}},
         {"all"},
         {"all"},
         {"all"},
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        asked.clear();
        const Sent before[] = {ReasonsSent(alpha), ReasonsSent(bravo), ReasonsSent(charlie)};
        {
            ModalScript script(row.steps);
            BanAndAwait();
            EXPECT_EQ(script.unexpected(), 0);
        }
        EXPECT_EQ(asked, row.questions);
        const Sent after[] = {ReasonsSent(alpha), ReasonsSent(bravo), ReasonsSent(charlie)};
        const Sent* wanted[] = {&row.toAlpha, &row.toBravo, &row.toCharlie};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Sent(after[i].begin() + static_cast<std::ptrdiff_t>(before[i].size()),
                           after[i].end()),
                      *wanted[i])
                << "server " << i;
        }
        EXPECT_EQ(bans().askEachServer(), row.kept);
        // A window opened later starts with the choice kept.
        EXPECT_EQ(GetParam().bans(*GetParam().make(config)).askEachServer(), row.kept);
    }
}

TEST_P(OneBanFlow, EveryAnswerNamesItsServerAndEveryAnsweredServerIsRecorded) {
    bans().SetMessageSink(nullptr); // the window's own message boxes
    bravo.AddBan(kTargetGuid);
    charlie.SetPassword("other");
    std::vector<std::pair<QString, QString>> boxes; // caption, text
    auto box = [&boxes](QWidget& modal) {
        auto* shown = qobject_cast<QMessageBox*>(&modal);
        ASSERT_NE(shown, nullptr);
        boxes.emplace_back(shown->windowTitle(), shown->text());
        QTest::mouseClick(shown->button(QMessageBox::Ok), Qt::LeftButton);
    };
    ModalScript script({Reply("aimbot"), box, box, box, box});
    BanAndAwait();

    const QString refused =
        QStringLiteral("Ban failed\nUsually this happens if the\nsupplied GUID is already banned");
    EXPECT_EQ(boxes, (std::vector<std::pair<QString, QString>>{
                         {"Alpha", "Alpha: GUID added to ban list"},
                         {"Bravo", "Bravo: " + refused},
                         {"Charlie", "Charlie: Invalid RCON password"},
                         {"Quarvel", "Ban state: Banned permanently"}}));
    EXPECT_EQ(outcomes, (std::vector<ServerOutcome>{ServerOutcome::Done, ServerOutcome::Refused,
                                                    ServerOutcome::Failed}));
    const std::string at = "2004-02-01T21:05:09+01:00";
    auto record = [&](const char* server, const std::string& said) {
        return BanRecord{at,       "ban",  kTargetGuid, "^1Bad^7Guy", "10.0.0.7",
                         "aimbot", server, said,        "alice"};
    };
    // Newest first: the state's own record, with no server, after the
    // servers'.
    EXPECT_EQ(Records(), (std::vector<BanRecord>{record("", "Banned permanently"),
                                                 record("Charlie", "Invalid RCON password"),
                                                 record("Bravo", refused.toStdString()),
                                                 record("Alpha", "GUID added to ban list")}));
}

TEST_P(OneBanFlow, AWindowClosedDuringTheFlowClosesWhenItIsOver) {
    bool visibleAfterClose = false;
    bravo.OnRequest([&] {
        QTest::mouseClick(WindowButton("closeButton"), Qt::LeftButton);
        visibleAfterClose = window->isVisible();
    });
    ModalScript script({Reply("r")});
    BanAndAwait();

    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(ReasonsSent(charlie), Sent{"r"}); // the flow went on to the last server
    EXPECT_EQ(sink.messages.size(), 4u);        // and told the state
    EXPECT_FALSE(window->isVisible());          // and then the window closed
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

// The panel's Ban opens Player Info over it and runs that window's flow.
TEST(ServersPanelBan, RunsPlayerInfosFlowOverThePanel) {
    FakeGameServer game("secret");
    game.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", kTargetGuid, 12, 48}});
    AppConfig config;
    config.servers.push_front({"Alpha", "127.0.0.1", game.port(), "secret"});
    ServersPanel panel(config, nullptr);
    panel.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.table(0)->model()->rowCount() == 1; }, 10000));
    panel.table(0)->selectRow(0);

    QString prompt;
    bool offered = true;
    QWidget* over = nullptr;
    CPlayerInfoDlg* info = nullptr;
    {
        ModalScript script({[&](QWidget& modal) {
            auto* reasons = qobject_cast<CBanReasonDlg*>(&modal);
            ASSERT_NE(reasons, nullptr);
            prompt = reasons->promptText();
            offered = modal.findChild<QCheckBox*>()->isVisibleTo(&modal);
            over = modal.parentWidget();
            QTest::mouseClick(modal.findChild<QPushButton*>(QStringLiteral("okButton")),
                              Qt::LeftButton);
        }});
        QTest::mouseClick(panel.banButton(), Qt::LeftButton);
        const auto infos = panel.findChildren<CPlayerInfoDlg*>();
        ASSERT_EQ(infos.size(), 1);
        info = infos.front();
        ASSERT_TRUE(QTest::qWaitFor([&] { return script.shown() == 1; }, 10000));
    }
    // The answer's box, over Player Info.
    QMessageBox* box = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            return box != nullptr;
        },
        10000));
    const QString said = box->text();
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !info->flowRunning(); }, 10000));

    EXPECT_EQ(prompt, "Enter ban reason for Alpha");
    EXPECT_FALSE(offered) << "one server: nothing to choose";
    EXPECT_EQ(over, info);
    EXPECT_EQ(said, "Alpha: GUID added to ban list");
    EXPECT_TRUE(game.IsBanned(kTargetGuid));
    info->close();
}

INSTANTIATE_TEST_SUITE_P(Windows, OneBanFlow,
                         ::testing::Values(kPlayerInfoWindow, kFindPlayerWindow),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
