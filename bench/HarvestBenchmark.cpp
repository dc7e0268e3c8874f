// The database update run over a generated 200 MB log: into a fresh player
// database (every GUID and sighting new), and again into the database that
// run filled (every sighting a duplicate). On SQLite always; on PostgreSQL
// when QUARVEL_TEST_PG_URI names a server (scripts/with-postgres sets it).
// Each run uses a document of its own, loaded outside the timing, and the
// timing is wall time: waiting for the disk is part of a harvest's cost.
#include "BenchLog.h"
#include "DatabaseUpdateRun.h"
#include "LogModel.h"
#include "PlayerDatabase.h"
#include "ScratchDatabase.h"
#include "SqlPlayerDatabase.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

class NoProgress final : public DatabaseUpdateProgress {
public:
    void Begin(int) override {}
    bool StepDone(int, const HarvestCounters&) override { return true; }
};

// One whole run over a freshly loaded document of the log.
DatabaseUpdateOutcome HarvestLog(const std::string& location, int& lines) {
    LogModel model;
    model.Load(BenchLogPath());
    lines = model.lineCount();
    model.SetPlayerDatabase(std::make_unique<SqlPlayerDatabase>(location));
    NoProgress progress;
    return RunHarvestWalk(model, progress);
}

void Report(benchmark::State& state, int lines, const DatabaseUpdateOutcome& outcome) {
    if (outcome.failure) {
        state.SkipWithError(outcome.failure->text.c_str());
        return;
    }
    state.counters["lines"] = lines;
    state.counters["lines_per_s"] = benchmark::Counter(
        static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["players_new"] = outcome.counters.playersNew;
    state.counters["guids_new"] = outcome.counters.guidsNew;
}

// A new, empty player database of the benchmark's own on the engine, removed
// afterwards; nothing (the benchmark skipped) when the engine has no server.
std::unique_ptr<ScratchDatabase> FreshDatabase(benchmark::State& state, TestEngine engine) {
    auto database = std::make_unique<ScratchDatabase>(engine);
    if (!database->skipReason().empty()) {
        state.SkipWithError(database->skipReason().c_str());
        return nullptr;
    }
    database->Create();
    return database;
}

// Every sighting new: a fresh database for each run. Only the walk is timed;
// loading the log and making the database are not.
void FirstHarvest(benchmark::State& state, TestEngine engine) {
    int lines = 0;
    DatabaseUpdateOutcome outcome;
    std::unique_ptr<LogModel> model;
    std::unique_ptr<ScratchDatabase> database;
    for (auto _ : state) {
        state.PauseTiming();
        model.reset(); // the previous run's document and database go untimed
        database.reset();
        database = FreshDatabase(state, engine);
        if (!database) {
            return;
        }
        model = std::make_unique<LogModel>();
        model->Load(BenchLogPath());
        lines = model->lineCount();
        model->SetPlayerDatabase(std::make_unique<SqlPlayerDatabase>(database->location()));
        NoProgress progress;
        state.ResumeTiming();
        outcome = RunHarvestWalk(*model, progress);
    }
    Report(state, lines, outcome);
}

// Every sighting a duplicate: the database the first run filled, harvested
// again by another document of the same log.
void SecondHarvest(benchmark::State& state, TestEngine engine) {
    const auto database = FreshDatabase(state, engine);
    if (!database) {
        return;
    }
    int lines = 0;
    const DatabaseUpdateOutcome first = HarvestLog(database->location(), lines);
    if (first.failure) {
        state.SkipWithError(first.failure->text.c_str());
        return;
    }
    DatabaseUpdateOutcome outcome;
    std::unique_ptr<LogModel> model;
    for (auto _ : state) {
        state.PauseTiming();
        model = std::make_unique<LogModel>();
        model->Load(BenchLogPath());
        model->SetPlayerDatabase(std::make_unique<SqlPlayerDatabase>(database->location()));
        NoProgress progress;
        state.ResumeTiming();
        outcome = RunHarvestWalk(*model, progress);
    }
    Report(state, lines, outcome);
}

BENCHMARK_CAPTURE(FirstHarvest, Sqlite, TestEngine::Sqlite)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(SecondHarvest, Sqlite, TestEngine::Sqlite)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(FirstHarvest, Postgres, TestEngine::Postgres)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(SecondHarvest, Postgres, TestEngine::Postgres)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
