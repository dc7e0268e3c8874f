#include "FakeServerFleet.h"

#include "FakeGameServer.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <array>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

constexpr std::array kFleetWords = {"Viper", "x",    "Sgt Pepper",  "Ghost",      "ProAimer",
                                    "Lu",    "Nox",  "Grim Reaper", "TheLastOne", "Kat",
                                    "[NoX]", "Rook", "Major Tom",   "Dusty",      "Q"};
constexpr std::array kFleetBots = {"Angelyss", "Sarge", "Major", "Grism"};

// A player of server `server` at `slot`; `generation` counts the players who
// had the slot before him.
FakePlayer FleetPlayer(int server, int slot, int generation) {
    FakePlayer player;
    player.slot = slot;
    const auto pick = static_cast<std::size_t>(slot * 7 + generation * 3 + server);
    if (slot % 16 == 15) {
        player.name = kFleetBots[pick % kFleetBots.size()];
        player.address = "bot";
        player.ping = 0;
        return player;
    }
    player.name = "^" + std::to_string(pick % 8) + kFleetWords[pick % kFleetWords.size()];
    if (pick % 3 != 0) {
        player.name += std::string(" ^7") + kFleetWords[(pick / 3) % kFleetWords.size()];
    }
    if (pick % 5 == 0) {
        player.name += "^3|Clan|";
    }
    player.address = "10." + std::to_string(server) + "." + std::to_string(generation % 250) + "." +
                     std::to_string(slot + 1) + ":" + std::to_string(27960 + slot);
    char guid[33];
    std::snprintf(guid, sizeof guid, "%08X%08X%08X%08X",
                  0xC0DE0000u + static_cast<unsigned>(server), static_cast<unsigned>(slot),
                  static_cast<unsigned>(generation), 0x5EED1234u);
    player.guid = guid;
    player.score = static_cast<int>(pick % 40);
    player.ping = 20 + static_cast<int>(pick % 180);
    return player;
}

// Keeps a fleet's servers and changes their players as time goes.
class Fleet {
public:
    Fleet(int answering, int silent, int players) : players_(players) {
        for (int i = 0; i < answering + silent; ++i) {
            auto server = std::make_unique<FakeGameServer>(kFleetPassword);
            if (i >= answering) {
                server->StaySilent();
            }
            std::vector<FakePlayer> table;
            for (int slot = 0; slot < players; ++slot) {
                table.push_back(FleetPlayer(i, slot, 0));
            }
            server->SetMap(i % 2 == 0 ? "oasago2" : "aggressor");
            server->SetPlayers(std::move(table));
            servers_.push_back(std::move(server));
        }
        generations_.assign(servers_.size(), 1);
        QObject::connect(&everySecond_, &QTimer::timeout, [this] { Tick(); });
        everySecond_.start(1000);
    }

    std::string Ports() const {
        std::string ports;
        for (const auto& server : servers_) {
            ports += std::to_string(server->port()) + " ";
        }
        return ports;
    }

    bool AllBound() const {
        for (const auto& server : servers_) {
            if (server->port() == 0) {
                return false;
            }
        }
        return true;
    }

private:
    void Tick() {
        ++ticks_;
        for (std::size_t i = 0; i < servers_.size(); ++i) {
            std::vector<FakePlayer> table = servers_[i]->players();
            for (std::size_t k = 0; k < table.size(); k += 5) {
                FakePlayer& player = table[(k + static_cast<std::size_t>(ticks_)) % table.size()];
                if (player.address != "bot") {
                    player.ping = 20 + (player.ping + 37) % 180;
                    player.score += 1;
                }
            }
            if (ticks_ % 10 == 0 && players_ > 0) {
                const int slot = (ticks_ / 10 * 5 + static_cast<int>(i)) % players_;
                table[static_cast<std::size_t>(slot)] =
                    FleetPlayer(static_cast<int>(i), slot, generations_[i]++);
            }
            servers_[i]->SetPlayers(std::move(table));
        }
    }

    int players_;
    int ticks_ = 0;
    std::vector<std::unique_ptr<FakeGameServer>> servers_;
    std::vector<int> generations_;
    QTimer everySecond_;
};

} // namespace

int ServeFakeServers(const std::vector<std::string>& arguments) {
    if (arguments.size() != 3) {
        std::fprintf(stderr, "%s ANSWERING SILENT PLAYERS\n", kServeArgument);
        return 2;
    }
    int argc = 1;
    char name[] = "fake-servers";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    Fleet fleet(std::stoi(arguments[0]), std::stoi(arguments[1]), std::stoi(arguments[2]));
    if (!fleet.AllBound()) {
        std::fprintf(stderr, "a fake server found no port on the loopback\n");
        return 1;
    }
    std::printf("%s\n", fleet.Ports().c_str());
    std::fflush(stdout);
    // The parent closes our standard input when it is done (or ends).
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            QCoreApplication::quit();
        }
    });
    return QCoreApplication::exec();
}

FakeServerFleet::FakeServerFleet(int answering, int silent, int players) {
    child_.setProgram(QCoreApplication::applicationFilePath());
    child_.setArguments({QString::fromLatin1(kServeArgument), QString::number(answering),
                         QString::number(silent), QString::number(players)});
    child_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child_.start();
    if (!child_.waitForStarted(10000)) {
        failure_ = QStringLiteral("the fake servers did not start: ") + child_.errorString();
        return;
    }
    while (!child_.canReadLine() && child_.waitForReadyRead(10000)) {
    }
    const QString line = QString::fromLatin1(child_.readLine()).trimmed();
    const QStringList ports = line.split(' ', Qt::SkipEmptyParts);
    if (ports.size() != answering + silent) {
        failure_ = QStringLiteral("the fake servers did not tell their ports (they said \"%1\")")
                       .arg(line);
        return;
    }
    for (int i = 0; i < ports.size(); ++i) {
        (i < answering ? answering_ : silent_).push_back(ports[i].toInt());
    }
}

FakeServerFleet::~FakeServerFleet() {
    if (child_.state() == QProcess::NotRunning) {
        return;
    }
    child_.closeWriteChannel();
    if (!child_.waitForFinished(5000)) {
        child_.kill();
        child_.waitForFinished(5000);
    }
}
