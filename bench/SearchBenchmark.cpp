// Find through a whole generated log to its one hit on the very last line,
// as plain text and as regular expressions, beside grep -c of the same
// pattern on the same file. The classification walk runs once before, outside
// the timing, as the view runs it before anyone can search.
#include "BenchLog.h"
#include "LogModel.h"
#include "LogSearch.h"
#include "ModelLines.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

constexpr char kLastLine[] = "  99:59 say: QuarvelNeedle42 was here at the very end\n";

// The generated log with one line no generated line holds appended.
const std::string& NeedleLogPath() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "quarvel-bench-search.log";
        const auto wanted = std::filesystem::file_size(BenchLogPath()) + sizeof kLastLine - 1;
        if (!std::filesystem::exists(file) || std::filesystem::file_size(file) != wanted) {
            std::filesystem::copy_file(BenchLogPath(), file,
                                       std::filesystem::copy_options::overwrite_existing);
            std::ofstream(file, std::ios::binary | std::ios::app) << kLastLine;
        }
        return file.string();
    }();
    return path;
}

std::int64_t NeedleLogBytes() {
    return static_cast<std::int64_t>(std::filesystem::file_size(NeedleLogPath()));
}

LogModel& ClassifiedLog() {
    static LogModel& model = []() -> LogModel& {
        static LogModel loaded;
        loaded.Load(NeedleLogPath());
        loaded.WalkAll(WalkMode::Classify);
        return loaded;
    }();
    return model;
}

class IgnoredMessages final : public MessageSink {
public:
    void Show(const Message&) override {}
};

void Find(benchmark::State& state, const std::string& text, SearchOptions options) {
    LogModel& model = ClassifiedLog();
    ModelLines lines(model);
    IgnoredMessages messages;
    for (auto _ : state) {
        LogSearch search;
        const auto hit = search.Find(lines, text, options, {0, 0}, messages);
        if (!hit || hit->line != model.lineCount() - 1) {
            state.SkipWithError("the hit on the last line was not found");
            break;
        }
        benchmark::DoNotOptimize(hit);
    }
    state.SetBytesProcessed(state.iterations() * NeedleLogBytes());
    state.counters["lines"] = model.lineCount();
}

// CPU seconds used by finished child processes so far.
double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// grep's own CPU time (and its shell's), so that a busy machine weighs on
// both sides alike: Find is timed by its CPU time too.
void Grep(benchmark::State& state, const std::string& options, const std::string& pattern) {
    const std::string command =
        "grep -c " + options + " '" + pattern + "' '" + NeedleLogPath() + "' >/dev/null";
    ClassifiedLog(); // the file is read once and in the page cache, as for Find
    for (auto _ : state) {
        const double before = ChildCpuSeconds();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("grep found no line");
            break;
        }
        state.SetIterationTime(ChildCpuSeconds() - before);
    }
    state.SetBytesProcessed(state.iterations() * NeedleLogBytes());
}

constexpr SearchOptions kDialogDefaults{false, false, false}; // case box clear
constexpr SearchOptions kCaseSensitive{true, false, false};
constexpr SearchOptions kRegexCase{true, true, false};
constexpr SearchOptions kRegexNoCase{false, true, false};

BENCHMARK_CAPTURE(Find, PlainIgnoringCase, std::string("QuarvelNeedle42"), kDialogDefaults)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Grep, PlainIgnoringCase, std::string("-F -i"), std::string("QuarvelNeedle42"))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);

BENCHMARK_CAPTURE(Find, PlainCase, std::string("QuarvelNeedle42"), kCaseSensitive)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Grep, PlainCase, std::string("-F"), std::string("QuarvelNeedle42"))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);

BENCHMARK_CAPTURE(Find, Regex, std::string("Needle[0-9]+ was"), kRegexCase)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Grep, Regex, std::string("-E"), std::string("Needle[0-9]+ was"))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);

BENCHMARK_CAPTURE(Find, RegexIgnoringCase, std::string("quarvelneedle[0-9]+"), kRegexNoCase)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Grep, RegexIgnoringCase, std::string("-E -i"), std::string("quarvelneedle[0-9]+"))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);

// No literal to look for: every line goes through the engine.
BENCHMARK_CAPTURE(Find, RegexWithoutLiteral, std::string("QuarvelNeedle43|QuarvelNeedle42"),
                  kRegexCase)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Grep, RegexWithoutLiteral, std::string("-E"),
                  std::string("QuarvelNeedle43|QuarvelNeedle42"))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);

} // namespace
