// The RCON client, the status reader and the ban flow against a real
// Quake-3-engine server: OpenArena's dedicated server, where one is installed
// (skipped otherwise; the fake game server covers the rest). It runs on a free
// loopback port with an RCON password and three bots, and is stopped after.
#include "BanFlow.h"
#include "ClientReply.h"
#include "FlowToEnd.h"
#include "MessageRecorder.h"
#include "ServerStatus.h"
#include "TestApplication.h"
#include "Userinfo.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <gtest/gtest.h>
#include <utility>

namespace {

const std::string kRealPassword = "quarvel-test";

// The server's program: $QUARVEL_OPENARENA_SERVER, else oa_ded (the game's
// own build) or openarena-server (Debian's) on the PATH or in /usr/games.
QString OpenArenaServerProgram() {
    const QString given = qEnvironmentVariable("QUARVEL_OPENARENA_SERVER");
    if (!given.isEmpty()) {
        return given;
    }
    for (const QString& name : {QStringLiteral("oa_ded"), QStringLiteral("openarena-server")}) {
        QString found = QStandardPaths::findExecutable(name);
        if (found.isEmpty()) {
            found = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/games")});
        }
        if (!found.isEmpty()) {
            return found;
        }
    }
    return {};
}

// A loopback UDP port nobody holds now.
quint16 FreeLoopbackPort() {
    QUdpSocket probe;
    if (!probe.bind(QHostAddress::LocalHost, 0)) {
        return 0;
    }
    return probe.localPort();
}

// The server's process, stopped (and killed if it will not stop) when this
// goes, whatever the test asserted.
class RealServerProcess {
public:
    RealServerProcess(const QString& program, quint16 port) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home_.path());
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setProgram(program);
        // A LAN server (no master server is told of it) on the loopback alone,
        // writing nothing outside its own folder.
        const std::pair<const char*, QString> settings[] = {
            {"dedicated", "1"},
            {"net_enabled", "1"},
            {"net_ip", "127.0.0.1"},
            {"net_port", QString::number(port)},
            {"rconpassword", QString::fromStdString(kRealPassword)},
            {"fs_homepath", home_.path()},
            {"sv_maxclients", "8"},
            {"bot_enable", "1"},
            {"ttycon", "0"},
        };
        QStringList arguments;
        for (const auto& [name, value] : settings) {
            arguments << QStringLiteral("+set") << QString::fromLatin1(name) << value;
        }
        arguments << QStringLiteral("+map") << QStringLiteral("oasago2");
        process_.setArguments(arguments);
        process_.start();
        process_.waitForStarted(5000);
    }
    ~RealServerProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }
    RealServerProcess(const RealServerProcess&) = delete;
    RealServerProcess& operator=(const RealServerProcess&) = delete;

    bool running() const { return process_.state() == QProcess::Running; }
    // The last of what it printed, for a failure's message.
    std::string Output() {
        const QByteArray all = process_.readAll();
        return all.right(2000).toStdString();
    }

private:
    QTemporaryDir home_;
    QProcess process_;
};

// Asks `status` until the table shows `bots` bots (or any players with
// `bots` 0), `seconds` at most; the last status read.
ServerStatus AwaitStatus(RconClient& client, const ServerEntry& server, std::size_t bots,
                         int seconds) {
    ServerStatus status;
    for (int round = 0; round < seconds * 4; ++round) {
        if (const auto reply = AskAndWait(client, server, "status"); reply && reply->answered()) {
            status = ParseStatus(reply->text);
            const auto shown =
                std::count_if(status.players.begin(), status.players.end(),
                              [](const StatusPlayer& player) { return player.address == "bot"; });
            if (status.recognised && static_cast<std::size_t>(shown) >= bots) {
                return status;
            }
        }
        QEventLoop pause;
        QTimer::singleShot(250, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return status;
}

// Bans with one fixed reason.
class FixedBanReason : public BanReasonSource {
public:
    void AskReason(const std::string&, Answer answer) override { answer("wall hack"); }
};

TEST(RealServer, OpenArenaAnswersStatusUserinfoAndRefusalsAsTheClientReadsThem) {
    const QString program = OpenArenaServerProgram();
    if (program.isEmpty()) {
        GTEST_SKIP() << "no OpenArena server installed (oa_ded or openarena-server on the PATH or "
                        "in /usr/games, or $QUARVEL_OPENARENA_SERVER)";
    }
    TestApplication app;
    const quint16 port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    RealServerProcess server(program, port);
    ASSERT_TRUE(server.running()) << program.toStdString() << " did not start";
    RconClient client;
    const ServerEntry entry{"OpenArena", "127.0.0.1", port, kRealPassword};

    // Up with its map, then three bots.
    const ServerStatus empty = AwaitStatus(client, entry, 0, 30);
    ASSERT_TRUE(empty.recognised) << "no status within 30 s; the server said:\n" << server.Output();
    EXPECT_EQ(empty.map, "oasago2");
    for (const char* bot : {"Angelyss", "Sarge", "Grism"}) {
        ASSERT_TRUE(AskAndWait(client, entry, std::string("addbot ") + bot + " 1"));
    }

    // `status` with the bots, whose address is "bot".
    const ServerStatus status = AwaitStatus(client, entry, 3, 15);
    ASSERT_TRUE(status.recognised);
    ASSERT_EQ(status.players.size(), 3u) << server.Output();
    for (const StatusPlayer& bot : status.players) {
        SCOPED_TRACE(bot.name);
        EXPECT_EQ(bot.address, "bot");
        EXPECT_FALSE(bot.name.empty());
        EXPECT_EQ(bot.state, PingState::Playing);
        EXPECT_TRUE(AddressIp(bot.address).empty());
    }

    // `dumpuser` of a bot gives his userinfo.
    const auto userinfo =
        AskAndWait(client, entry, "dumpuser " + std::to_string(status.players.front().slot));
    ASSERT_TRUE(userinfo && userinfo->answered());
    EXPECT_FALSE(UserinfoValue(userinfo->text, "name").empty()) << userinfo->text;

    // A wrong password is recognised as the server's refusal.
    ServerEntry wrong = entry;
    wrong.rconpass = "not-the-password";
    const auto refused = AskAndWait(client, wrong, "status");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, RconReplyStatus::BadPassword) << refused->text;

    // The server knows no PunkBuster: a ban says its refusal, quoting it.
    const auto unknown =
        AskAndWait(client, entry, "pb_sv_banguid 00112233445566778899aabbccddeeff");
    ASSERT_TRUE(unknown && unknown->answered());
    const std::string firstLine = unknown->text.substr(0, unknown->text.find('\n'));
    EXPECT_NE(firstLine.find("pb_sv_banguid"), std::string::npos) << unknown->text;
    FixedBanReason reasons;
    MessageRecorder messages;
    const auto results =
        BanOnEveryServer({entry}, BanTarget{"00112233445566778899AABBCCDDEEFF", "192.0.2.9", "Bad"},
                         reasons, messages);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results.front().outcome, ServerOutcome::Failed);
    EXPECT_EQ(results.front().message.text, "Bad reply: " + firstLine);
}

} // namespace
