// The Servers panel on the offscreen platform, polling a fake game server.
#include "ServersPanel.h"

#include "CPlayerInfoDlg.h"
#include "FakeGameServer.h"

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
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

} // namespace
