// Loading a log: map the file and split it into line records.
#include "BenchLog.h"
#include "LogModel.h"

#include <benchmark/benchmark.h>

namespace {

void LineStoreLoad(benchmark::State& state) {
    const std::string& path = BenchLogPath();
    for (auto _ : state) {
        // A fresh model each time, so the record pages are first-touched as
        // when a document opens.
        LogModel model;
        model.Load(path);
        benchmark::DoNotOptimize(model.lineCount());
        state.counters["lines"] = model.lineCount();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * BenchLogBytes());
}
BENCHMARK(LineStoreLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
