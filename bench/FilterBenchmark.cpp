// The match index over the 200 MB generated log as a window uses it (every
// line classified, IndexReach::ClassifiedLines): a whole scan for each
// filter with the memory its set of hits takes; the time to the first screen
// of hits (60); and the longest call of Scan given 10 ms slices, which is
// how long a window's event loop waits at most while the log is filtered;
// every hit's line in order, as a copy of the whole filtered pane asks.
#include "BenchLog.h"
#include "HitLines.h"
#include "LogModel.h"
#include "MatchIndex.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <string>

namespace {

LogModel& ClassifiedLog() {
    static LogModel& model = []() -> LogModel& {
        static LogModel loaded;
        loaded.Load(BenchLogPath());
        loaded.WalkAll(WalkMode::Classify);
        return loaded;
    }();
    return model;
}

LineFilter Text(std::string text, bool regExp, bool caseSensitive) {
    LineFilter filter;
    filter.text = TextCriterion{std::move(text), regExp, caseSensitive};
    return filter;
}

LineFilter Kind(LineEvent event) {
    LineFilter filter;
    filter.kinds = KindCriterion{EventKinds().Add(event)};
    return filter;
}

// The player of the log's first connection.
LineFilter Player() {
    LineFilter filter;
    filter.player =
        PlayerCriterion{std::string(ClassifiedLog().playerSlots().Connection(0).Guid())};
    return filter;
}

LineFilter ChatOfPlayer() {
    LineFilter filter = Player();
    filter.kinds = KindCriterion{EventKinds().Add(LineEvent::Chat)};
    return filter;
}

LineFilter NotChat() {
    LineFilter filter = Kind(LineEvent::Chat);
    filter.exclude = true;
    return filter;
}

void WholeLog(benchmark::State& state, const LineFilter& filter) {
    LogModel& model = ClassifiedLog();
    double hits = 0;
    double bytes = 0;
    for (auto _ : state) {
        MatchIndex index(filter);
        index.ScanAll(model);
        hits = index.hits().Count();
        bytes = static_cast<double>(index.hits().memoryBytes());
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = hits;
    state.counters["bytes_per_hit"] = hits > 0 ? bytes / hits : 0;
    state.counters["bytes_per_line"] = bytes / model.lineCount();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * BenchLogBytes());
}

void FirstScreen(benchmark::State& state, const LineFilter& filter) {
    LogModel& model = ClassifiedLog();
    for (auto _ : state) {
        MatchIndex index(filter);
        while (index.hits().Count() < 60 &&
               !index.Scan(model, std::chrono::milliseconds(5)).caughtUp) {
        }
        benchmark::DoNotOptimize(index.hits().Count());
    }
}

void LongestSlice(benchmark::State& state, const LineFilter& filter) {
    LogModel& model = ClassifiedLog();
    double longest = 0;
    for (auto _ : state) {
        MatchIndex index(filter);
        for (;;) {
            const auto start = std::chrono::steady_clock::now();
            const bool done = index.Scan(model, std::chrono::milliseconds(10)).caughtUp;
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            longest = std::max(longest, took.count());
            if (done) {
                break;
            }
        }
    }
    state.counters["longest_ms"] = longest;
}

// Every hit's line in the log, in order, as a copy of the whole filtered
// pane asks for them (HitLines::LogLineIndex).
void HitsInOrder(benchmark::State& state, const LineFilter& filter) {
    LogModel& model = ClassifiedLog();
    MatchIndex index(filter);
    index.ScanAll(model);
    HitLines hits(model);
    hits.SetHits(&index.hits());
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (int i = 0; i < hits.lineCount(); ++i) {
            sum += hits.LogLineIndex(i);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["hits"] = hits.lineCount();
}

} // namespace

BENCHMARK_CAPTURE(WholeLog, RareLiteral, Text("105.159.176.232", false, true))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, CommonLiteral, Text("killed", false, true))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, LiteralIgnoringCase, Text("mod_knife", false, false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, ExpressionWithClass, Text("MOD_M[0-9]+_", true, true))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, Alternatives, Text("rush B|need ammo|map vote", true, true))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, NameWithCodes, Text("Viper", false, true))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, Chat, Kind(LineEvent::Chat))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, Kills, Kind(LineEvent::Kill))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, Player, Player())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, ChatOfPlayer, ChatOfPlayer())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeLog, NotChat, NotChat())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstScreen, RareLiteral, Text("105.159.176.232", false, true))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstScreen, Player, Player())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HitsInOrder, CommonLiteral, Text("killed", false, true))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LongestSlice, CommonLiteral, Text("killed", false, true))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(LongestSlice, Kills, Kind(LineEvent::Kill))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
