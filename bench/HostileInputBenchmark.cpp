// The worst cases hostile input was found to cause, each now bounded: GUIDs
// chosen to share one bucket, Find next over every hit of one long line,
// the HTML copy of a long line of colour codes, and a regular expression
// that backtracks without end (stopped by the search's budget). Each runs at
// two sizes so that growth faster than linear shows.
#include "CaretColourTable.h"
#include "ColourCodes.h"
#include "GuidTable.h"
#include "LineStore.h"
#include "LogSearch.h"
#include "SelectionCopy.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

// Bytes split into lines as a loaded file is, no segments laid.
class BenchLines final : public LineSource {
public:
    explicit BenchLines(std::string bytes) : bytes_(std::move(bytes)) {
        store_.Append(bytes_.data(), 0, static_cast<std::int64_t>(bytes_.size()));
        count_ = store_.lineCount();
    }
    int lineCount() const override { return count_; }
    LineView Line(int i) const override {
        LineView view;
        view.text = bytes_.data() + store_.Offset(i);
        view.byteLength = store_.ByteLength(i);
        SetPlainSegments(view);
        return view;
    }
    std::string_view Text(int i) const override { return Line(i).Text(); }

private:
    std::string bytes_;
    LineStore store_;
    int count_ = 0;
};

class Silent final : public MessageSink {
public:
    void Show(const Message&) override {}
};

void GuidsInOneBucket(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        GuidTable table;
        char guid[33];
        for (int i = 0; i < count; ++i) {
            std::snprintf(guid, sizeof guid, "%029XABC", i);
            table.AddAlias(std::string_view(guid, 32), "name");
        }
        benchmark::DoNotOptimize(table.Find(std::string_view(guid, 32)));
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(GuidsInOneBucket)->Arg(20'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void FindNextOverALongLine(benchmark::State& state) {
    const auto length = static_cast<int>(state.range(0));
    BenchLines lines(std::string(static_cast<std::size_t>(length), 'x') + "\n");
    Silent messages;
    for (auto _ : state) {
        LogSearch search;
        auto hit = search.Find(lines, "x", {false, false, false}, {0, 0}, messages);
        int hits = 0;
        while (hit) {
            ++hits;
            hit = search
                      .FindNext(lines, {0, hit->firstColumn, 0, hit->lastColumn},
                                {0, hit->firstColumn}, messages)
                      .hit;
        }
        benchmark::DoNotOptimize(hits);
    }
    state.SetItemsProcessed(state.iterations() * length);
}
BENCHMARK(FindNextOverALongLine)->Arg(80'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void HtmlCopyOfALineOfCodes(benchmark::State& state) {
    std::string line;
    while (line.size() < static_cast<std::size_t>(state.range(0))) {
        line += "^1a^2b";
    }
    BenchLines lines(line + "\n");
    const KindTables tables = MakeKindTables(CaretColourTable());
    const int visible = lines.Line(0).visibleLength;
    for (auto _ : state) {
        const auto copied = CopySelection(lines, {0, 0, 0, visible - 1}, tables);
        benchmark::DoNotOptimize(copied->htmlFits);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(HtmlCopyOfALineOfCodes)->Arg(6'000'000)->Arg(60'000'000)->Unit(benchmark::kMillisecond);

void RunawayExpressionStopped(benchmark::State& state) {
    std::string log;
    for (int i = 0; i < state.range(0); ++i) {
        log += std::string(24, 'x') + "\n";
    }
    BenchLines lines(log);
    std::string expression = "(x+x+)+y|";
    for (int i = 0; i < 3000; ++i) {
        expression += "[Q]";
    }
    Silent messages;
    for (auto _ : state) {
        LogSearch search;
        benchmark::DoNotOptimize(
            search.Find(lines, expression, {true, true, false}, {0, 0}, messages));
    }
}
BENCHMARK(RunawayExpressionStopped)->Arg(20)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace
