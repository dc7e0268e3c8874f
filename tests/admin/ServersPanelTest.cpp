// The Servers panel on the offscreen platform, polling a fake game server.
#include "ServersPanel.h"

#include "BanRecord.h"
#include "CPlayerInfoDlg.h"
#include "FakeGameServer.h"
#include "MessageRecorder.h"
#include "ModalScript.h"
#include "ScratchDatabase.h"
#include "SqlPlayerLookup.h"

#include <QEventLoop>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const std::string kPanelGuid = "0123456789ABCDEF0123456789ABCDEF";

// Waits for the server's next poll to end.
void AwaitPoll(LiveServer& live) {
    QEventLoop loop;
    QObject::connect(&live, &LiveServer::polled, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(ServersPanel, ShowsThePlayersAndOpensPlayerInfoOnADoubleClick) {
    FakeGameServer game("secret");
    game.SetMap("mp_carentan");
    game.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", kPanelGuid, 12, 48}});
    AppConfig config;
    config.servers.push_front({"Alpha", "127.0.0.1", game.port(), "secret"});
    ServersPanel panel(config, nullptr);
    ASSERT_EQ(panel.serverCount(), 1);
    EXPECT_FALSE(panel.banButton()->isEnabled());
    EXPECT_TRUE(game.received().empty()) << "nothing is asked while the panel is hidden";
    panel.show();
    AwaitPoll(panel.server(0));
    EXPECT_EQ(panel.stateLabel(0)->text().left(36), "mp_carentan, 1 player, answered 0 s ");
    QTableView* table = panel.table(0);
    ASSERT_EQ(table->model()->rowCount(), 1);
    EXPECT_EQ(table->model()->index(0, LivePlayersModel::kName).data().toString(), "Red Baron");

    table->selectRow(0);
    EXPECT_TRUE(panel.banButton()->isEnabled());
    emit table->doubleClicked(table->model()->index(0, LivePlayersModel::kName));
    const auto infos = panel.findChildren<CPlayerInfoDlg*>();
    ASSERT_EQ(infos.size(), 1);
    EXPECT_EQ(infos.front()->nameText(), "^1Red ^7Baron");
    EXPECT_EQ(infos.front()->ipText(), "192.0.2.7");
    EXPECT_EQ(infos.front()->guidText(), kPanelGuid); // from the userinfo
    infos.front()->close();

    panel.hide();
    const auto asked = game.received().size();
    QTest::qWait(0);
    EXPECT_FALSE(panel.server(0).polling());
    EXPECT_EQ(game.received().size(), asked);
}

TEST(ServersPanel, SaysWhenNoServerIsConfigured) {
    AppConfig config;
    ServersPanel panel(config, nullptr);
    EXPECT_EQ(panel.serverCount(), 0);
    const auto labels = panel.findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.front()->text(), "No servers configured");
}

// Sends an action's command and waits until its answer is shown.
void ActAndAwait(ServersPanel& panel, ServerCommand command, const CommandValues& values) {
    QEventLoop loop;
    QObject::connect(&panel, &ServersPanel::answered, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    panel.Act(0, command, values);
    loop.exec();
}

TEST(ServersPanel, ActionsSendTheServersOwnCommandsAndShowItsAnswer) {
    FakeGameServer game("secret");
    game.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", "", 12, 48},
                     {4, "Camper", "192.0.2.8:27960", "", 0, 48}});
    AppConfig config;
    config.servers.push_front({"Alpha", "127.0.0.1", game.port(), "secret"});
    ServersPanel panel(config, nullptr);
    MessageRecorder messages;
    panel.SetMessageSink(&messages);

    CommandValues kick;
    kick.slot = 3;
    kick.reason = "aim";
    ActAndAwait(panel, ServerCommand::Kick, kick);
    CommandValues tempKick;
    tempKick.slot = 4;
    tempKick.minutes = 10;
    tempKick.reason = "say \"hi\"";
    ActAndAwait(panel, ServerCommand::TempKick, tempKick);
    CommandValues say;
    say.text = "hello all";
    ActAndAwait(panel, ServerCommand::Say, say);
    CommandValues noMinutes;
    noMinutes.slot = 4;
    noMinutes.reason = "x";
    ActAndAwait(panel, ServerCommand::TempKick, noMinutes);

    // Each action asks its command and then who is on the server now (and
    // the userinfo of those the server shows without a GUID).
    std::vector<std::string> sent;
    for (const std::string& command : game.commands()) {
        if (command != "status" && !command.starts_with("dumpuser")) {
            sent.push_back(command);
        }
    }
    EXPECT_EQ(sent, (std::vector<std::string>{"clientkick 3", "pb_sv_kick 5 10 \"say 'hi'\"",
                                              "say hello all"}));
    ASSERT_EQ(messages.messages.size(), 4u);
    EXPECT_EQ(messages.messages[0],
              (Message{"^1Red ^7Baron was kicked", "Alpha", MessageIcon::None}));
    EXPECT_EQ(messages.messages[1].text, "PunkBuster Server: Camper kicked");
    EXPECT_EQ(messages.messages[2].text, "broadcast: print \"server: hello all\\n\"");
    EXPECT_EQ(messages.messages[3].icon, MessageIcon::Warning) << "the minutes are missing";
    EXPECT_EQ(messages.messages[3].caption, "Alpha");
}

// Keeps every message with the number of ban records there were when it
// showed.
class RecordCountingSink final : public MessageSink {
public:
    explicit RecordCountingSink(std::string location) : location_(std::move(location)) {}
    void Show(const Message& message) override {
        SqlPlayerLookup lookup(location_);
        lookup.Open();
        shown.push_back({message.text, lookup.BanHistory("", -1).size()});
    }
    std::vector<std::pair<std::string, std::size_t>> shown;

private:
    std::string location_;
};

// Answers a modal window as a user would: an input dialog gets the value
// and OK, a question Yes.
ModalScript::Step Answer(const QString& value) {
    return [value](QWidget& window) {
        if (auto* input = qobject_cast<QInputDialog*>(&window)) {
            if (input->inputMode() == QInputDialog::IntInput) {
                input->setIntValue(value.toInt());
            } else {
                input->setTextValue(value);
            }
            input->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(&window)) {
            box->button(QMessageBox::Yes)->click();
        }
    };
}

TEST(ServersPanel, EachActionIsKeptInTheBanRecordsBeforeItsAnswerIsShown) {
    const std::string camperGuid = "FEDCBA9876543210FEDCBA9876543210";
    ScratchDatabase scratch(TestEngine::Sqlite);
    scratch.Create();
    FakeGameServer game("secret");
    game.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", kPanelGuid, 12, 48},
                     {4, "Camper", "192.0.2.8:27960", camperGuid, 0, 48}});
    AppConfig config;
    config.databasePath = scratch.location();
    config.servers.push_front({"Alpha", "127.0.0.1", game.port(), "secret"});
    ServersPanel panel(config, nullptr);
    RecordCountingSink messages(scratch.location());
    panel.SetMessageSink(&messages);
    panel.SetRecordIdentity("alice", [] { return BanTime{1075665909, 3600}; });
    panel.show();
    AwaitPoll(panel.server(0));

    // Each on the first row: the message and the kick for the Red Baron, the
    // temp-kick for the Camper once the Baron is gone.
    const struct {
        void (ServersPanel::*act)();
        std::deque<ModalScript::Step> answers;
    } actions[] = {
        {&ServersPanel::OnMessage, {Answer("play fair"), Answer({})}},
        {&ServersPanel::OnKick, {Answer("camping"), Answer({})}},
        {&ServersPanel::OnTempKick, {Answer("15"), Answer("spam"), Answer({})}},
    };
    for (const auto& action : actions) {
        panel.table(0)->selectRow(0);
        ModalScript script(action.answers);
        QEventLoop loop;
        QObject::connect(&panel, &ServersPanel::answered, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        (panel.*action.act)();
        loop.exec();
        EXPECT_EQ(script.unexpected(), 0);
        AwaitPoll(panel.server(0)); // the one the answer asked for
    }
    // A command its template cannot make is kept too, as not sent.
    CommandValues noMinutes;
    noMinutes.slot = 3;
    ActAndAwait(panel, ServerCommand::TempKick, noMinutes);

    // Each record was there before its answer showed.
    ASSERT_EQ(messages.shown.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(messages.shown[i].second, i + 1) << messages.shown[i].first;
    }
    const std::string at = " | 2004-02-01T21:05:09+01:00  ";
    const std::string baron = kPanelGuid + " ^1Red ^7Baron 192.0.2.7" + at;
    std::vector<std::string> kept;
    SqlPlayerLookup lookup(scratch.location());
    lookup.Open();
    for (const BanRecord& record : lookup.BanHistory("", -1)) {
        kept.push_back(record.guid + " " + record.name + " " + record.ip + " | " +
                       BanRecordLine(record));
    }
    EXPECT_EQ(kept, (std::vector<std::string>{
                        "  " + at + "temp-kick on Alpha by alice: " + messages.shown[3].first,
                        camperGuid + " Camper 192.0.2.8" + at +
                            "temp-kick 15 min on Alpha by alice: PunkBuster Server: Camper "
                            "kicked (reason: spam)",
                        baron + "kick on Alpha by alice: ^1Red ^7Baron was kicked (reason: "
                                "camping)",
                        baron + "message on Alpha by alice: broadcast: print \"server: play "
                                "fair\\n\" (said: play fair)"}));
}

TEST(ServersPanel, ARecordThatCannotBeKeptIsSaidAfterTheAnswer) {
    ScratchDatabase scratch(TestEngine::Sqlite); // never created
    FakeGameServer game("secret");
    AppConfig config;
    config.databasePath = scratch.location();
    config.servers.push_front({"Alpha", "127.0.0.1", game.port(), "secret"});
    ServersPanel panel(config, nullptr);
    MessageRecorder messages;
    panel.SetMessageSink(&messages);
    CommandValues say;
    say.text = "hi";
    ActAndAwait(panel, ServerCommand::Say, say);
    EXPECT_EQ(game.commands(), std::vector<std::string>{"say hi"});
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].caption, "Alpha");
    EXPECT_TRUE(messages.messages[1].text.starts_with(
        "The message went ahead, but the player database did not store its record:\n"))
        << messages.messages[1].text;
}

TEST(ServersPanel, FollowsTheConfigurationReadAgainAndStillShowsAnAnswerDue) {
    FakeGameServer game("secret");
    game.AnswerAfter(std::chrono::milliseconds(50));
    AppConfig config;
    config.servers.push_front({"Alpha", "127.0.0.1", game.port(), "secret"});
    config.servers.push_front({"Bravo", "127.0.0.1", game.port(), "secret"});
    ServersPanel panel(config, nullptr);
    MessageRecorder messages;
    panel.SetMessageSink(&messages);
    CommandValues say;
    say.text = "hello";
    QSignalSpy answered(&panel, &ServersPanel::answered);
    panel.Act(1, ServerCommand::Say, say, {});

    config.servers.pop_front(); // Bravo left the configuration
    panel.ReloadServers();
    ASSERT_EQ(panel.serverCount(), 1);
    EXPECT_EQ(panel.server(0).server().name, "Alpha");
    ASSERT_TRUE(answered.wait(5000));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Alpha");
    EXPECT_FALSE(panel.server(0).polling()) << "no other server is asked in the gone one's place";
}

} // namespace
