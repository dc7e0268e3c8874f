// Opening a log as the view does: map and split the file, then classify
// every line in one walk. Compared, in the same run, with lnav indexing the
// same file (`lnav -n -c ':goto 100%' FILE`) when lnav is installed.
#include "BenchLog.h"
#include "LogModel.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

namespace {

void ClassifyAll(LogModel& model) {
    model.WalkAll(WalkMode::Classify);
}

double PeakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
}

void ReportPerLine(benchmark::State& state, int lines) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * BenchLogBytes());
    state.counters["lines"] = lines;
    // Seconds per line, shown with its prefix (e.g. 250n for 250 ns).
    state.counters["time_per_line"] = benchmark::Counter(
        static_cast<double>(lines),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peak_rss_MB"] = PeakResidentMegabytes();
}

// What opening a document costs: a fresh model each time, so the record
// pages are first touched as when a log is opened.
void LoadAndClassify(benchmark::State& state) {
    const std::string& path = BenchLogPath();
    int lines = 0;
    for (auto _ : state) {
        LogModel model;
        model.Load(path);
        ClassifyAll(model);
        lines = model.lineCount();
        benchmark::DoNotOptimize(model.Line(lines - 1).visibleLength);
    }
    ReportPerLine(state, lines);
}
BENCHMARK(LoadAndClassify)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The classification alone, on a log already mapped and split whose record
// pages exist (a log is classified once, so each round loads it again
// untimed).
void ClassifyOnly(benchmark::State& state) {
    LogModel model;
    model.Load(BenchLogPath());
    ClassifyAll(model); // the pages are touched once
    for (auto _ : state) {
        state.PauseTiming();
        model.Load(BenchLogPath());
        state.ResumeTiming();
        ClassifyAll(model);
        benchmark::DoNotOptimize(model.Line(model.lineCount() - 1).visibleLength);
    }
    ReportPerLine(state, model.lineCount());
}
BENCHMARK(ClassifyOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);

double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The reference: the terminal log viewer lnav indexing the same file. Its
// wall time is the benchmark's time; its processor time (user and system,
// all threads) is reported too, as the other benchmarks' CPU column is
// theirs.
void LnavIndex(benchmark::State& state) {
    if (std::system("command -v lnav >/dev/null 2>&1") != 0) {
        state.SkipWithError("lnav is not installed");
        return;
    }
    const std::string command = "lnav -n -c ':goto 100%' '" + BenchLogPath() + "' >/dev/null 2>&1";
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double cpuBefore = ChildCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const auto end = std::chrono::steady_clock::now();
        cpuSeconds += ChildCpuSeconds() - cpuBefore;
        if (status != 0) {
            state.SkipWithError("lnav failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * BenchLogBytes());
    state.counters["cpu_ms_per_run"] =
        1000.0 * cpuSeconds / static_cast<double>(state.iterations());
    state.counters["cpu_MiB_per_s"] = static_cast<double>(state.iterations()) *
                                      static_cast<double>(BenchLogBytes()) / (1024.0 * 1024.0) /
                                      cpuSeconds;
}
BENCHMARK(LnavIndex)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace
