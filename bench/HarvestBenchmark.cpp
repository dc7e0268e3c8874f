// The database update run over a generated 200 MB log: into a fresh player
// database (every GUID and sighting new), and again into the database that
// run filled (every sighting a duplicate). On SQLite always; on PostgreSQL
// when QUARVEL_TEST_PG_URI names a server (scripts/with-postgres sets it).
// Each run uses a document of its own, loaded outside the timing, and the
// timing is wall time: waiting for the disk is part of a harvest's cost.
#include "BenchLog.h"
#include "DatabaseTarget.h"
#include "DatabaseUpdateRun.h"
#include "LogModel.h"
#include "PlayerDatabase.h"
#include "PlayerSchema.h"
#include "SqlConnection.h"
#include "SqlPlayerDatabase.h"

#include <QTemporaryDir>
#include <QUuid>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

class NoProgress final : public DatabaseUpdateProgress {
public:
    void Begin(int) override {}
    bool StepDone(int, const HarvestCounters&) override { return true; }
};

void RunOn(const std::string& location, std::initializer_list<std::string> statements) {
    std::string error;
    const auto target = ParseDatabaseTarget(location, error);
    if (!target) {
        throw std::runtime_error(error);
    }
    SqlConnection connection;
    connection.Open(*target);
    for (const std::string& sql : statements) {
        connection.ExecuteText(QString::fromStdString(sql));
    }
}

// A new, empty player database of the benchmark's own, removed afterwards:
// a file in a temporary folder, or a schema of its own on the server.
class FreshDatabase {
public:
    explicit FreshDatabase(const char* postgresUri) {
        if (postgresUri == nullptr) {
            location_ = folder_.filePath(QStringLiteral("players.sqlite")).toStdString();
        } else {
            serverUri_ = postgresUri;
            schema_ = "quarvel_bench_" +
                      QUuid::createUuid().toString(QUuid::Id128).left(12).toStdString();
            RunOn(serverUri_, {"CREATE SCHEMA " + schema_});
            location_ = serverUri_ + (serverUri_.find('?') == std::string::npos ? "?" : "&") +
                        "options=-c%20search_path%3D" + schema_;
        }
        std::string error;
        if (!InitPlayerDatabase(location_, error)) {
            throw std::runtime_error(error);
        }
    }
    ~FreshDatabase() {
        if (!schema_.empty()) {
            try {
                // Without the notice that lists every table the drop takes along.
                RunOn(serverUri_, {"SET client_min_messages TO warning",
                                   "DROP SCHEMA " + schema_ + " CASCADE"});
            } catch (const std::exception&) {
                // The throwaway server goes with its folder anyway.
            }
        }
    }
    FreshDatabase(const FreshDatabase&) = delete;
    FreshDatabase& operator=(const FreshDatabase&) = delete;

    const std::string& location() const { return location_; }

private:
    QTemporaryDir folder_;
    std::string serverUri_;
    std::string schema_;
    std::string location_;
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

const char* PostgresUri(benchmark::State& state, bool postgres) {
    if (!postgres) {
        return nullptr;
    }
    const char* uri = std::getenv("QUARVEL_TEST_PG_URI");
    if (uri == nullptr || *uri == '\0') {
        state.SkipWithError("QUARVEL_TEST_PG_URI is not set; run under scripts/with-postgres");
    }
    return uri;
}

// Every sighting new: a fresh database for each run. Only the walk is timed;
// loading the log and making the database are not.
void FirstHarvest(benchmark::State& state, bool postgres) {
    const char* uri = PostgresUri(state, postgres);
    if (postgres && uri == nullptr) {
        return;
    }
    int lines = 0;
    DatabaseUpdateOutcome outcome;
    std::unique_ptr<LogModel> model;
    std::optional<FreshDatabase> database;
    for (auto _ : state) {
        state.PauseTiming();
        model.reset(); // the previous run's document and database go untimed
        database.reset();
        database.emplace(uri);
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
void SecondHarvest(benchmark::State& state, bool postgres) {
    const char* uri = PostgresUri(state, postgres);
    if (postgres && uri == nullptr) {
        return;
    }
    const FreshDatabase database(uri);
    int lines = 0;
    const DatabaseUpdateOutcome first = HarvestLog(database.location(), lines);
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
        model->SetPlayerDatabase(std::make_unique<SqlPlayerDatabase>(database.location()));
        NoProgress progress;
        state.ResumeTiming();
        outcome = RunHarvestWalk(*model, progress);
    }
    Report(state, lines, outcome);
}

BENCHMARK_CAPTURE(FirstHarvest, Sqlite, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(SecondHarvest, Sqlite, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(FirstHarvest, Postgres, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(SecondHarvest, Postgres, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
