#pragma once

#include "AppConfig.h"
#include "BanController.h"
#include "CFindPlayerDlg.h"
#include "CPlayerInfoDlg.h"
#include "FakeGameServer.h"
#include "FoundPlayersModel.h"
#include "MessageRecorder.h"
#include "ScratchDatabase.h"
#include "StoredPlayers.h"

#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// The windows that ban through the one BanController, for suites that run
// each case in both.

inline constexpr char kTargetGuid[] = "0123456789ABCDEF0123456789ABCDEF";

// A window that bans the player ^1Bad^7Guy at 10.0.0.7: Player Info filled
// with him, or Find player with him found and picked.
struct BanWindowKind {
    const char* name;
    std::unique_ptr<QDialog> (*make)(const AppConfig& config);
    BanController& (*bans)(QDialog& window);
    // What the window shows of his ban state: Player Info's line, or Find
    // player's Ban column in his row.
    QString (*shownBan)(QDialog& window);
};

inline void PrintTo(const BanWindowKind& kind, std::ostream* os) {
    *os << kind.name;
}

inline const BanWindowKind kPlayerInfoWindow{
    "PlayerInfo",
    [](const AppConfig& config) -> std::unique_ptr<QDialog> {
        auto window = std::make_unique<CPlayerInfoDlg>(config, nullptr);
        window->FillPlayer("^1Bad^7Guy", "10.0.0.7", kTargetGuid);
        return window;
    },
    [](QDialog& window) -> BanController& { return static_cast<CPlayerInfoDlg&>(window).bans(); },
    [](QDialog& window) { return static_cast<CPlayerInfoDlg&>(window).banStateText(); }};

inline const BanWindowKind kFindPlayerWindow{
    "FindPlayer",
    [](const AppConfig& config) -> std::unique_ptr<QDialog> {
        auto window = std::make_unique<CFindPlayerDlg>(config, nullptr);
        window->StartFind(PlayerSearchMode::Guid, QString::fromLatin1(kTargetGuid));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->busy(); }, 10000));
        EXPECT_NE(window->SelectedPlayer(), nullptr);
        return window;
    },
    [](QDialog& window) -> BanController& { return static_cast<CFindPlayerDlg&>(window).bans(); },
    [](QDialog& window) {
        const auto* table = window.findChild<QTableView*>(QStringLiteral("players"));
        return table->model()->index(0, FoundPlayersModel::kBan).data().toString();
    }};

// Three fake game servers, a scratch database that has seen the player, and
// the window of the case's kind over them, its messages recorded and its
// records made by "alice" at `clock`.
class BanWindowTest : public ::testing::TestWithParam<BanWindowKind> {
protected:
    void ShowWindow(BanClock clock) {
        scratch.Create();
        StoreSighting(scratch.location(), kTargetGuid, "10.0.0.7", "BadGuy", "^1Bad^7Guy");
        config.databasePath = scratch.location();
        config.servers = {{"Alpha", "127.0.0.1", alpha.port(), "a"},
                          {"Bravo", "127.0.0.1", bravo.port(), "b"},
                          {"Charlie", "127.0.0.1", charlie.port(), "c"}};
        window = GetParam().make(config);
        bans().SetMessageSink(&sink);
        bans().SetRecordIdentity("alice", std::move(clock));
        window->show();
    }

    BanController& bans() { return GetParam().bans(*window); }

    ScratchDatabase scratch{TestEngine::Sqlite};
    FakeGameServer alpha{"a"}, bravo{"b"}, charlie{"c"};
    AppConfig config;
    MessageRecorder sink;
    std::unique_ptr<QDialog> window;
};
