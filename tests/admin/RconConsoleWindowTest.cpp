// The RCON console window on the offscreen platform, against a fake server.
#include "RconConsoleWindow.h"

#include "FakeGameServer.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Runs the event loop until `signal` of `window` comes.
template <typename Signal> void AwaitConsole(RconConsoleWindow& window, Signal signal) {
    QEventLoop loop;
    QObject::connect(&window, signal, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
}

class Console : public testing::Test {
protected:
    Console() {
        config.servers.push_front({"Alpha", "127.0.0.1", game.port(), "s3cret"});
        game.SetPlayers({{3, "^1Red ^7Baron", "192.0.2.7:27960", "", 12, 48}});
    }
    FakeGameServer game{"s3cret"};
    AppConfig config;
};

TEST_F(Console, SendsTheLineShowsTheWholeAnswerColouredAndRemembersIt) {
    RconConsoleWindow window(config.servers.front(), config, nullptr);
    EXPECT_EQ(window.windowTitle(), "RCON console - Alpha");
    window.show();
    QTest::keyClicks(window.commandLine(), "status");
    QTest::keyClick(window.commandLine(), Qt::Key_Return);
    EXPECT_EQ(window.commandLine()->text(), "");
    AwaitConsole(window, &RconConsoleWindow::answered);
    const QString shown = window.output()->toPlainText();
    EXPECT_TRUE(shown.startsWith("] status\nmap: oasago2\n")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("Red Baron")) << "codes are applied, not shown";
    // "Red" is drawn in the colour of ^1, "Baron" in that of ^7.
    const QTextCursor red = window.output()->document()->find(QStringLiteral("Red"));
    const QTextCursor baron = window.output()->document()->find(QStringLiteral("Baron"));
    ASSERT_FALSE(red.isNull());
    ASSERT_FALSE(baron.isNull());
    EXPECT_NE(red.charFormat().foreground().color(), baron.charFormat().foreground().color());
    EXPECT_EQ(baron.charFormat().foreground().color(), QColor(Qt::white));

    QTest::keyClick(window.commandLine(), Qt::Key_Up);
    EXPECT_EQ(window.commandLine()->text(), "status");
    QTest::keyClick(window.commandLine(), Qt::Key_Down);
    EXPECT_EQ(window.commandLine()->text(), "");

    // A command holding the password is sent but not kept.
    QTest::keyClicks(window.commandLine(), "say s3cret");
    QTest::keyClick(window.commandLine(), Qt::Key_Return);
    AwaitConsole(window, &RconConsoleWindow::answered);
    EXPECT_EQ(window.history().entries(), QStringList{"status"});
    RconConsoleWindow again(config.servers.front(), config, nullptr);
    EXPECT_EQ(again.history().entries(), QStringList{"status"}) << "kept across runs";
}

TEST_F(Console, RunsAFilesCommandsInOrderAndStopsAtTheFirstFailure) {
    RconConsoleWindow window(config.servers.front(), config, nullptr);
    const QStringList typed = window.history().entries();
    int asked = 0;
    game.OnRequest([&] {
        if (++asked == 2) {
            game.SetPassword("changed"); // the second is refused
        }
    });
    window.RunCommands({"say one", "say two", "say three"}, true);
    EXPECT_TRUE(window.running());
    AwaitConsole(window, &RconConsoleWindow::runFinished);
    EXPECT_FALSE(window.running());
    EXPECT_EQ(game.commands(), std::vector<std::string>{"say one"});
    EXPECT_EQ(game.received().size(), 2u) << "say three is never sent";
    const QString shown = window.output()->toPlainText();
    EXPECT_TRUE(shown.contains("] say two\nInvalid RCON password\n"
                               "Stopped at the first failure: 1 command was not sent.\n"))
        << shown.toStdString();
    EXPECT_EQ(window.history().entries(), typed) << "a file's commands are not kept";
}

} // namespace
