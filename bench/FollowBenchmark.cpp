// Following a growing log: how long a written line takes to reach the output
// of `quarvelctl follow` and the screen of a view, what following costs while
// nothing is written, and how fast a burst appended to an open log is taken
// in compared with opening the same bytes.
#include "AppConfig.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "LogGenerator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kLines = 20;
constexpr auto kInterval = std::chrono::milliseconds(200); // 5 lines a second

QApplication& BenchApplication() {
    static int argc = 1;
    static char name[] = "follow_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static QApplication instance(argc, argv);
        return &instance;
    }();
    return *app;
}

std::string TempPath(const char* name) {
    return (fs::temp_directory_path() / name).string();
}

void Append(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << bytes;
}

std::string ChatLine(int i) {
    return "   0:" + std::to_string(10 + i) + " say: ^1Bob: line " + std::to_string(i) + "\n";
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void ReportDelays(benchmark::State& state, std::vector<double> delays) {
    std::sort(delays.begin(), delays.end());
    state.counters["median_ms"] = delays[delays.size() / 2];
    state.counters["max_ms"] = delays.back();
}

double CpuSecondsOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    long long utime = 0;
    long long stime = 0;
    // Fields 14 and 15 are user and system time in clock ticks; the second
    // field (the command) has no blank in it here.
    for (int i = 1; i <= 15 && stat >> field; ++i) {
        if (i == 14) {
            utime = std::stoll(field);
        } else if (i == 15) {
            stime = std::stoll(field);
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// quarvelctl follow on a pipe.
struct FollowProcess {
    pid_t pid = -1;
    int out = -1;
    std::string buffer;

    explicit FollowProcess(const std::string& log) {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            execl(QUARVELCTL_PATH, "quarvelctl", "follow", log.c_str(), nullptr);
            _exit(127);
        }
        close(fds[1]);
        out = fds[0];
    }
    ~FollowProcess() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0) {
            close(out);
        }
    }

    // Reads until `lines` line ends have come in all; false after 5 s.
    bool WaitForLines(std::size_t lines) {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (static_cast<std::size_t>(std::count(buffer.begin(), buffer.end(), '\n')) < lines) {
            pollfd wait{out, POLLIN, 0};
            if (Clock::now() > deadline || poll(&wait, 1, 100) < 0) {
                return false;
            }
            if (wait.revents & POLLIN) {
                char chunk[65536];
                const ssize_t n = read(out, chunk, sizeof chunk);
                if (n <= 0) {
                    return false;
                }
                buffer.append(chunk, static_cast<std::size_t>(n));
            }
        }
        return true;
    }
};

// From a line's write to its object on `quarvelctl follow`'s output.
void FollowOutputDelay(benchmark::State& state) {
    const std::string log = TempPath("quarvel-follow-bench.log");
    std::vector<double> delays;
    for (auto _ : state) {
        std::ofstream(log, std::ios::trunc) << ChatLine(0);
        FollowProcess follow(log);
        if (!follow.WaitForLines(1)) {
            state.SkipWithError("quarvelctl follow printed nothing");
            return;
        }
        for (int i = 1; i <= kLines; ++i) {
            const auto written = Clock::now();
            Append(log, ChatLine(i));
            if (!follow.WaitForLines(static_cast<std::size_t>(i) + 1)) {
                state.SkipWithError("a line did not come");
                return;
            }
            const auto shown = Clock::now();
            delays.push_back(Milliseconds(shown - written));
            std::this_thread::sleep_until(written + kInterval);
        }
    }
    fs::remove(log);
    ReportDelays(state, delays);
}
BENCHMARK(FollowOutputDelay)->Iterations(1)->Unit(benchmark::kMillisecond);

// Records when the view paints and how many lines it shows then.
class PaintClock : public QObject {
public:
    explicit PaintClock(const CQuarvelView& view) : view_(view) {}
    Clock::time_point painted;
    int linesWhenPainted = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = Clock::now();
            linesWhenPainted = view_.lineCount();
        }
        return false;
    }

private:
    const CQuarvelView& view_;
};

// From a line's write to the first repaint of a following view that shows
// it, with the document's watcher doing the noticing.
void ViewRepaintDelay(benchmark::State& state) {
    BenchApplication();
    const std::string log = TempPath("quarvel-repaint-bench.log");
    std::vector<double> delays;
    for (auto _ : state) {
        std::ofstream(log, std::ios::trunc) << ChatLine(0);
        CQuarvelDoc document;
        document.Open(QString::fromStdString(log));
        const AppConfig config; // no servers, no database
        CQuarvelView view(document, config);
        view.resize(800, 600);
        view.show();
        QCoreApplication::processEvents();
        view.OnUpdate();
        PaintClock clock(view);
        view.viewport()->installEventFilter(&clock);
        for (int i = 1; i <= kLines; ++i) {
            const auto written = Clock::now();
            Append(log, ChatLine(i));
            const auto deadline = written + std::chrono::seconds(5);
            while (clock.linesWhenPainted < i + 1 && Clock::now() < deadline) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            }
            delays.push_back(Milliseconds(clock.painted - written));
            std::this_thread::sleep_until(written + kInterval);
            QCoreApplication::processEvents();
        }
    }
    fs::remove(log);
    ReportDelays(state, delays);
}
BENCHMARK(ViewRepaintDelay)->Iterations(1)->Unit(benchmark::kMillisecond);

// What `quarvelctl follow` spends in 10 seconds of a log nobody writes to.
void FollowIdleCpu(benchmark::State& state) {
    const std::string log = TempPath("quarvel-idle-bench.log");
    double cpu = 0;
    for (auto _ : state) {
        std::ofstream(log, std::ios::trunc) << ChatLine(0);
        FollowProcess follow(log);
        follow.WaitForLines(1);
        const double before = CpuSecondsOf(follow.pid);
        std::this_thread::sleep_for(std::chrono::seconds(10));
        cpu = CpuSecondsOf(follow.pid) - before;
    }
    fs::remove(log);
    state.counters["cpu_s_in_10s"] = cpu;
}
BENCHMARK(FollowIdleCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

double OwnCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The same for a window: a view on a followed log, the event loop running.
void ViewIdleCpu(benchmark::State& state) {
    BenchApplication();
    const std::string log = TempPath("quarvel-idle-view-bench.log");
    double cpu = 0;
    for (auto _ : state) {
        std::ofstream(log, std::ios::trunc) << ChatLine(0);
        CQuarvelDoc document;
        document.Open(QString::fromStdString(log));
        const AppConfig config; // no servers, no database
        CQuarvelView view(document, config);
        view.setFocusPolicy(Qt::NoFocus); // no caret blinking
        view.resize(800, 600);
        view.show();
        view.OnUpdate();
        QCoreApplication::processEvents();
        const double before = OwnCpuSeconds();
        QEventLoop loop;
        QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
        loop.exec();
        cpu = OwnCpuSeconds() - before;
    }
    fs::remove(log);
    state.counters["cpu_s_in_10s"] = cpu;
}
BENCHMARK(ViewIdleCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

constexpr std::size_t kBurstBytes = 100'000'000;

const std::string& BurstBytes() {
    static const std::string bytes = GenerateLog(kBurstBytes, 11);
    return bytes;
}

// 100 MB appended at once to an open, followed log: the time from the
// look at the file to every new line classified.
void BurstAppended(benchmark::State& state) {
    const std::string log = TempPath("quarvel-burst-bench.log");
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(log, std::ios::trunc) << ChatLine(0);
        CQuarvelDoc document;
        document.Open(QString::fromStdString(log));
        document.model().ClassifyUpTo(document.model().lineCount());
        Append(log, BurstBytes());
        state.ResumeTiming();
        document.CheckFile();
        benchmark::DoNotOptimize(document.model().classifiedCount());
    }
    fs::remove(log);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(BurstBytes().size()));
}
BENCHMARK(BurstAppended)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same bytes opened as a log of their own, for comparison.
void BurstOpened(benchmark::State& state) {
    const std::string log = TempPath("quarvel-burst-open-bench.log");
    std::ofstream(log, std::ios::trunc) << BurstBytes();
    for (auto _ : state) {
        LogModel model;
        model.Load(log);
        model.ClassifyUpTo(model.lineCount());
        benchmark::DoNotOptimize(model.classifiedCount());
    }
    fs::remove(log);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(BurstBytes().size()));
}
BENCHMARK(BurstOpened)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
