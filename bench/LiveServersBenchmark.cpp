// The live servers as the window runs them, against fake game servers in a
// process of their own (FakeServerFleet: 16 answering and 8 silent servers,
// 32 players each), so that none of their work is counted:
//
//   PanelPolling/cpu    the Servers panel, shown on the offscreen platform,
//                       polling the 16 answering servers every 2 s for
//                       --seconds (60 unless given): the processor time
//                       (getrusage) of this whole process, every thread of it,
//                       and of the window thread alone, as a share of one core;
//                       also what its first round took (every player's
//                       userinfo asked) and the share after it.
//   PanelPolling/stall  the same with a 1 ms timer on the window thread
//                       (LoopStallWatch), started once the panel has opened
//                       (the opening, open_ms, is a stall of its own).
//   BanFromPanel        Player Info opened on a player of the panel, then its
//                       Ban over 16 servers, 8 of them silent, as the window
//                       runs it: the reason dialog and the message boxes
//                       answered as they show, the panel polling the same
//                       servers meanwhile; with records:1 every outcome is
//                       kept in an SQLite player database, as it is when one
//                       is configured. The longest stall, and the ban's time.
//   IdleLoop            the 1 ms timer alone: the stalls this machine gives a
//                       loop that does nothing, and what the timer costs.
//
//   live_bench [--seconds=N] [--benchmark_repetitions=3] [--benchmark_filter=...]
#include "CBanReasonDlg.h"
#include "CPlayerInfoDlg.h"
#include "FakeServerFleet.h"
#include "LoopStallWatch.h"
#include "ScratchDatabase.h"
#include "ServersPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int kAnswering = 16;
constexpr int kSilent = 8;
constexpr int kPlayers = 32;
constexpr int kPollSeconds = 2;

// Processor time used so far, in seconds: by the whole process and by the
// calling thread.
struct CpuTimes {
    double process = 0;
    double thread = 0;

    CpuTimes operator-(const CpuTimes& earlier) const {
        return {process - earlier.process, thread - earlier.thread};
    }
};

double Seconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

CpuTimes CpuNow() {
    rusage process{};
    rusage thread{};
    getrusage(RUSAGE_SELF, &process);
    getrusage(RUSAGE_THREAD, &thread);
    return {Seconds(process), Seconds(thread)};
}

void RunLoopFor(std::chrono::milliseconds span) {
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the loop until `done` holds, `limit` at most; whether it held.
template <typename Condition> bool RunLoopUntil(Condition done, std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limit.count()) {
        RunLoopFor(10ms);
    }
    return done();
}

// The servers on these ports, each polled every 2 s.
AppConfig FleetConfig(const std::vector<int>& ports) {
    AppConfig config;
    for (auto port = ports.rbegin(); port != ports.rend(); ++port) {
        ServerEntry server{"Server " + std::to_string(ports.rend() - port), "127.0.0.1", *port,
                           kFleetPassword};
        server.poll = kPollSeconds;
        config.servers.push_front(std::move(server));
    }
    return config;
}

// What the panel's servers brought, watched from their `polled` signal.
class PollCount {
public:
    explicit PollCount(ServersPanel& panel) : answeredOnce_(panel.serverCount(), false) {
        for (int i = 0; i < panel.serverCount(); ++i) {
            LiveServer& live = panel.server(i);
            QObject::connect(&live, &LiveServer::polled, [this, &live, i] {
                ++polls_;
                if (!live.last() || !live.last()->ok()) {
                    ++failed_;
                } else if (!answeredOnce_[static_cast<std::size_t>(i)] &&
                           live.players().rowCount() == kPlayers) {
                    answeredOnce_[static_cast<std::size_t>(i)] = true;
                    if (++serversAnswered_ == serverCount()) {
                        firstRound_ = CpuNow();
                        firstRoundWallNs_ = wall_.nsecsElapsed();
                    }
                }
            });
        }
        wall_.start();
    }

    int polls() const { return polls_; }
    int failed() const { return failed_; }
    bool firstRoundDone() const { return firstRoundWallNs_ >= 0; }
    // When every server had answered with all its players (their GUIDs
    // asked): the processor times then, and the seconds since the watch began.
    const CpuTimes& firstRound() const { return firstRound_; }
    double firstRoundSeconds() const { return static_cast<double>(firstRoundWallNs_) / 1e9; }

private:
    int serverCount() const { return static_cast<int>(answeredOnce_.size()); }

    std::vector<bool> answeredOnce_;
    int serversAnswered_ = 0;
    int polls_ = 0;
    int failed_ = 0;
    CpuTimes firstRound_;
    QElapsedTimer wall_;
    qint64 firstRoundWallNs_ = -1;
};

// Players shown in the panel, and those among them with a GUID.
std::pair<int, int> PlayersShown(ServersPanel& panel) {
    int players = 0;
    int guids = 0;
    for (int i = 0; i < panel.serverCount(); ++i) {
        const LivePlayersModel& model = panel.server(i).players();
        for (int row = 0; row < model.rowCount(); ++row) {
            ++players;
            guids += model.PlayerAt(row)->guid.guid.empty() ? 0 : 1;
        }
    }
    return {players, guids};
}

void PanelPolling(benchmark::State& state, const FakeServerFleet& fleet, std::chrono::seconds span,
                  bool watchStalls) {
    if (!fleet.failure().isEmpty()) {
        state.SkipWithError(fleet.failure().toStdString().c_str());
        return;
    }
    for (auto _ : state) {
        const AppConfig config = FleetConfig(fleet.answering());
        ServersPanel panel(config, nullptr);
        panel.resize(1280, 1600);
        LoopStallWatch stalls;
        PollCount count(panel);
        QElapsedTimer wall;
        const CpuTimes start = CpuNow();
        wall.start();
        // Opened and painted first: the panel's opening is one stall of its
        // own, before any answer.
        panel.show();
        QCoreApplication::processEvents();
        const double openMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
        if (watchStalls) {
            stalls.Start();
        }
        RunLoopFor(span);
        stalls.Stop();
        const CpuTimes used = CpuNow() - start;
        const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        const auto [players, guids] = PlayersShown(panel);
        panel.hide();

        state.counters["open_ms"] = openMs;
        state.counters["cpu_pct"] = 100 * used.process / seconds;
        state.counters["window_cpu_pct"] = 100 * used.thread / seconds;
        if (count.firstRoundDone()) {
            const CpuTimes first = count.firstRound() - start;
            state.counters["first_round_s"] = count.firstRoundSeconds();
            state.counters["first_round_cpu_ms"] = 1000 * first.process;
            state.counters["later_cpu_pct"] =
                100 * (used.process - first.process) / (seconds - count.firstRoundSeconds());
        }
        state.counters["polls"] = count.polls();
        state.counters["failed_polls"] = count.failed();
        state.counters["players"] = players;
        state.counters["guids"] = guids;
        if (watchStalls) {
            stalls.Report(state);
        }
    }
}

// The admin at the ban: types a reason into the Ban reason dialog (once for
// every server, or at each with "Ask for each server") and presses OK, and
// OK on each message box, as they show (looked for every 5 ms, so the loop
// stays idle between).
class AnsweringAdmin {
public:
    AnsweringAdmin() {
        QObject::connect(&look_, &QTimer::timeout, [this] { Answer(); });
        look_.start(5ms);
    }

    int reasons() const { return reasons_; }
    int boxes() const { return boxes_; }

private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        if (auto* reason = qobject_cast<CBanReasonDlg*>(modal)) {
            reason->findChild<QLineEdit*>()->setText(QStringLiteral("aimbot"));
            reason->accept();
            ++reasons_;
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->accept();
            ++boxes_;
        }
    }

    QTimer look_;
    int reasons_ = 0;
    int boxes_ = 0;
};

std::string BenchGuid(std::int64_t round) {
    char guid[33];
    std::snprintf(guid, sizeof guid, "BA5E%028llX", static_cast<unsigned long long>(round));
    return guid;
}

void BanFromPanel(benchmark::State& state, const FakeServerFleet& fleet) {
    if (!fleet.failure().isEmpty()) {
        state.SkipWithError(fleet.failure().toStdString().c_str());
        return;
    }
    ScratchDatabase database(TestEngine::Sqlite);
    database.Create();
    // An answering server, a silent one, and so on.
    std::vector<int> ports;
    for (int i = 0; i < kSilent; ++i) {
        ports.push_back(fleet.answering()[static_cast<std::size_t>(i)]);
        ports.push_back(fleet.silent()[static_cast<std::size_t>(i)]);
    }
    AppConfig config = FleetConfig(ports);
    // With a player database, Player Info keeps every server's outcome in its
    // ban records, one row as each answer comes.
    const bool keepRecords = state.range(0) != 0;
    if (keepRecords) {
        config.databasePath = database.location();
    }
    std::int64_t round = 0;
    for (auto _ : state) {
        ServersPanel panel(config, nullptr);
        panel.resize(1280, 1600);
        panel.show();
        if (!RunLoopUntil([&] { return panel.server(0).players().rowCount() > 0; }, 20s)) {
            state.SkipWithError("the first server showed no players");
            return;
        }
        LivePlayer target = *panel.server(0).players().PlayerAt(0);
        target.guid.guid = BenchGuid(++round);
        const auto records = [&] {
            return keepRecords ? std::stoi(database.QueryText("SELECT COUNT(*) FROM Ban_Records"))
                               : 0;
        };
        const int recordsBefore = records();

        // Player Info opened on him (a double-click), then its Ban pressed.
        panel.OpenPlayerInfo(target, false);
        auto* info = panel.findChild<CPlayerInfoDlg*>();
        QCoreApplication::processEvents();
        bool finished = false;
        QObject::connect(&info->bans(), &BanController::finished, [&] { finished = true; });
        AnsweringAdmin admin;
        LoopStallWatch stalls;
        QElapsedTimer wall;
        stalls.Start();
        wall.start();
        info->OnBan();
        RunLoopUntil([&] { return finished; }, 120s);
        stalls.Stop();
        const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        info->close();
        panel.hide();
        if (!finished) {
            state.SkipWithError("the ban did not end");
            return;
        }
        stalls.Report(state);
        state.counters["ban_s"] = seconds;
        state.counters["reasons_given"] = admin.reasons();
        state.counters["boxes_acknowledged"] = admin.boxes();
        state.counters["records"] = records() - recordsBefore;
    }
}

void IdleLoop(benchmark::State& state, std::chrono::seconds span) {
    for (auto _ : state) {
        LoopStallWatch stalls;
        const CpuTimes start = CpuNow();
        stalls.Start();
        RunLoopFor(span);
        stalls.Stop();
        const CpuTimes used = CpuNow() - start;
        stalls.Report(state);
        state.counters["window_cpu_pct"] = 100 * used.thread / static_cast<double>(span.count());
    }
}

double Smallest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double Largest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

benchmark::internal::Benchmark* Once(benchmark::internal::Benchmark* benchmark) {
    return benchmark->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kSecond)
        ->ComputeStatistics("min", Smallest)
        ->ComputeStatistics("max", Largest);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string_view(argv[1]) == kServeArgument) {
        return ServeFakeServers({argv + 2, argv + argc});
    }
    // --seconds=N: how long the panel polls (a minute unless given).
    std::chrono::seconds span = 60s;
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument.starts_with("--seconds=")) {
            span = std::chrono::seconds(std::max(1, std::atoi(argv[i] + 10)));
        } else {
            arguments.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(count, arguments.data());
    QApplication::setQuitOnLastWindowClosed(false);
    // Whatever the windows keep goes to a folder of the run's own.
    QTemporaryDir settingsFolder;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());

    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) {
        return 1;
    }
    const FakeServerFleet fleet(kAnswering, kSilent, kPlayers);
    Once(benchmark::RegisterBenchmark("PanelPolling/cpu", [&](benchmark::State& state) {
        PanelPolling(state, fleet, span, false);
    }));
    Once(benchmark::RegisterBenchmark("PanelPolling/stall", [&](benchmark::State& state) {
        PanelPolling(state, fleet, span, true);
    }));
    Once(benchmark::RegisterBenchmark("BanFromPanel",
                                      [&](benchmark::State& state) { BanFromPanel(state, fleet); }))
        ->ArgName("records")
        ->Arg(1)
        ->Arg(0);
    Once(benchmark::RegisterBenchmark("IdleLoop", [&](benchmark::State& state) {
        IdleLoop(state, std::min<std::chrono::seconds>(span, 10s));
    }));
    std::printf("polling %d servers of %d players every %d s for %lld s; fake servers in process "
                "%lld\n",
                kAnswering, kPlayers, kPollSeconds, static_cast<long long>(span.count()),
                static_cast<long long>(fleet.processId()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QThreadPool::globalInstance()->waitForDone();
    return 0;
}
