// The finds of Find player and quarvelctl find on a generated player database
// of 1,000,000 Players rows over 200,000 GUIDs, each kind of find, on SQLite
// always and on PostgreSQL when QUARVEL_TEST_PG_URI names a server
// (scripts/with-postgres sets it); and the database update run over the
// generated 200 MB log into that database, with the finds' indexes and
// without them, to show what the indexes cost a harvest (on SQLite, which has
// none, the address index it does without because of that cost).
//
// The database is made once per engine and run, outside every timing, by
// set-based SQL on the engine itself. The finds time FindPlayers on an open
// connection, as the window's worker runs it, with the window's limit. A
// harvest's new rows are taken out again after each run, outside the timing.
#include "BanRecordSql.h"
#include "BenchLog.h"
#include "DatabaseUpdateRun.h"
#include "GeneratedDatabases.h"
#include "LogModel.h"
#include "PlayerSearch.h"
#include "ScratchDatabase.h"
#include "SqlPlayerDatabase.h"
#include "SqlPlayerLookup.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kGuids = 200000;
constexpr int kRows = 1000000;
constexpr int kShownLimit = 1000;

// The GUID key every find below aims at, and how the generator made its
// values (the same formulas as the SQL below).
constexpr long long kTarget = 4242;

std::string TargetName() {
    return "name" + std::to_string(kTarget * 7 % 40000);
}

int Octet(int which, long long g, long long v) {
    switch (which) {
    case 1:
        return static_cast<int>(1 + (g * 37 + v / 2) % 223);
    case 2:
        return static_cast<int>(g * 101 % 256);
    case 3:
        return static_cast<int>((g * 7 + v) % 256);
    default:
        return static_cast<int>((g * 13 + v * 3) % 256);
    }
}

std::string TargetAddress() {
    return std::to_string(Octet(1, kTarget, 0)) + "." + std::to_string(Octet(2, kTarget, 0)) + "." +
           std::to_string(Octet(3, kTarget, 0)) + "." + std::to_string(Octet(4, kTarget, 0));
}

std::string TargetSixteen() {
    return std::to_string(Octet(1, kTarget, 0)) + "." + std::to_string(Octet(2, kTarget, 0)) + ".";
}

std::string TargetTwenty() {
    return std::to_string(Octet(1, kTarget, 0)) + "." + std::to_string(Octet(2, kTarget, 0)) + "." +
           std::to_string(Octet(3, kTarget, 0) & 0xF0) + ".0/20";
}

std::string TargetGuidPrefix() {
    char text[16];
    std::snprintf(text, sizeof text, "%08llX", kTarget * 2654435761LL % 4294967296LL);
    return std::string(text, 4);
}

const char* const kSqliteFill[] = {
    R"(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) )"
    R"(INSERT INTO "GUID" ("Guid_Key", "GUID") )"
    R"(SELECT i, printf('%08X%08X%08X%08X', (i * 2654435761) % 4294967296, )"
    R"((i * 2246822519) % 4294967296, (i * 3266489917) % 4294967296, )"
    R"((i * 668265263) % 4294967296) FROM n)",
    R"(WITH RECURSIVE n(j) AS (SELECT 0 UNION ALL SELECT j + 1 FROM n WHERE j < 999999) )"
    R"(INSERT INTO "Players" ("Guid_Key", "IP_part1", "IP_part2", "IP_part3", "IP_part4", )"
    R"("IP_Full", "Player_Name_formated", "Player_Name", "Rec_Created", "Rec_Modified") )"
    R"(SELECT g, o1, o2, o3, o4, o1 || '.' || o2 || '.' || o3 || '.' || o4, name, )"
    R"('^' || (v % 10) || name, day, day FROM ()"
    R"(SELECT g, v, 1 + (g * 37 + v / 2) % 223 AS o1, (g * 101) % 256 AS o2, )"
    R"((g * 7 + v) % 256 AS o3, (g * 13 + v * 3) % 256 AS o4, )"
    R"('Name' || ((g * 7 + v % 2) % 40000) AS name, )"
    R"(date('2003-01-01', '+' || ((g * 3 + v * 97) % 730) || ' days') AS day )"
    R"(FROM (SELECT j % 200000 + 1 AS g, j / 200000 AS v FROM n)))",
    "ANALYZE",
};

const char* const kPostgresFill[] = {
    R"(INSERT INTO "GUID" ("Guid_Key", "GUID") )"
    R"(SELECT k, upper(lpad(to_hex((i * 2654435761) % 4294967296), 8, '0') || )"
    R"(lpad(to_hex((i * 2246822519) % 4294967296), 8, '0') || )"
    R"(lpad(to_hex((i * 3266489917) % 4294967296), 8, '0') || )"
    R"(lpad(to_hex((i * 668265263) % 4294967296), 8, '0')) )"
    R"(FROM (SELECT k, k::bigint AS i FROM generate_series(1, 200000) k) n)",
    R"(SELECT setval(pg_get_serial_sequence('"GUID"', 'Guid_Key'), 200000))",
    R"(INSERT INTO "Players" ("Guid_Key", "IP_part1", "IP_part2", "IP_part3", "IP_part4", )"
    R"("IP_Full", "Player_Name_formated", "Player_Name", "Rec_Created", "Rec_Modified") )"
    R"(SELECT g, o1::text, o2::text, o3::text, o4::text, o1 || '.' || o2 || '.' || o3 || '.' || )"
    R"(o4, name, '^' || (v % 10) || name, day, day FROM ()"
    R"(SELECT g, v, 1 + (g * 37 + v / 2) % 223 AS o1, (g * 101) % 256 AS o2, )"
    R"((g * 7 + v) % 256 AS o3, (g * 13 + v * 3) % 256 AS o4, )"
    R"('Name' || ((g * 7 + v % 2) % 40000) AS name, date '2003-01-01' + (g * 3 + v * 97) % 730 )"
    R"(AS day FROM (SELECT j % 200000 + 1 AS g, j / 200000 AS v )"
    R"(FROM generate_series(0, 999999) j) s) t)",
    "VACUUM ANALYZE",
};

GeneratedDatabases& Generated() {
    static GeneratedDatabases databases;
    return databases;
}

ScratchDatabase* GeneratedDatabase(TestEngine engine, std::string& skip) {
    const bool sqlite = engine == TestEngine::Sqlite;
    return Generated().Get(
        engine,
        sqlite ? std::vector<std::string>(std::begin(kSqliteFill), std::end(kSqliteFill))
               : std::vector<std::string>(std::begin(kPostgresFill), std::end(kPostgresFill)),
        skip);
}

void Find(benchmark::State& state, TestEngine engine, PlayerSearchMode mode, std::string text) {
    std::string skip;
    ScratchDatabase* database = GeneratedDatabase(engine, skip);
    if (database == nullptr) {
        state.SkipWithError(skip.c_str());
        return;
    }
    const PlayerSearchParse parse = ParsePlayerSearch(mode, text);
    if (!parse.search) {
        state.SkipWithError(parse.error.c_str());
        return;
    }
    SqlPlayerLookup lookup(database->location());
    lookup.Open();
    PlayerFindResult result;
    for (auto _ : state) {
        result = lookup.FindPlayers(*parse.search, kShownLimit);
        benchmark::DoNotOptimize(result.players.data());
    }
    lookup.Close();
    state.counters["players"] = static_cast<double>(result.players.size());
    state.counters["cut"] = result.cut ? 1 : 0;
    state.SetLabel(text);
}

class NoProgress final : public DatabaseUpdateProgress {
public:
    void Begin(int) override {}
    bool StepDone(int, const HarvestCounters&) override { return true; }
};

// The address index SQLite was to have, which its cost to a harvest ruled
// out (BanRecordSql.h): measured here so that the figure can be made again.
constexpr BanRecordSql::FindIndex kSqliteAddressIndex = {
    "Players_IP_Full", R"(CREATE INDEX "Players_IP_Full" ON "Players" ("IP_Full", "Guid_Key"))"};

// The finds' own indexes on tables Players and GUID; on SQLite the address
// index it does without.
std::vector<const BanRecordSql::FindIndex*> FindIndexes(TestEngine engine) {
    std::vector<const BanRecordSql::FindIndex*> indexes;
    if (engine == TestEngine::Postgres) {
        for (const auto& index : BanRecordSql::kPostgresFindIndexes) {
            indexes.push_back(&index);
        }
        indexes.push_back(&BanRecordSql::kPostgresTrigramIndex);
    } else {
        indexes.push_back(&kSqliteAddressIndex);
    }
    return indexes;
}

void DropFindIndexes(ScratchDatabase& database, TestEngine engine) {
    for (const auto* index : FindIndexes(engine)) {
        database.Execute(std::string("DROP INDEX IF EXISTS \"") + index->name + "\"");
    }
}

void MakeFindIndexes(ScratchDatabase& database, TestEngine engine) {
    for (const auto* index : FindIndexes(engine)) {
        try {
            database.Execute(index->create);
        } catch (const std::exception&) {
            // The trigram index, where pg_trgm is not to be had.
        }
    }
}

// The CPU time this process has used, in ms: on SQLite the whole harvest's
// work, whatever else the machine runs.
double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct HarvestTimes {
    double wallMs = 0;
    double cpuMs = 0;
};

// Leaves the database with the indexes init-db gave it.
void RestoreAsMade(ScratchDatabase& database, TestEngine engine) {
    if (engine == TestEngine::Postgres) {
        MakeFindIndexes(database, engine);
    } else {
        DropFindIndexes(database, engine);
    }
}

// One harvest of the 200 MB log into the generated database: its 48 GUIDs
// and 42,694 sightings are all new to it. Its rows are taken out again
// afterwards.
HarvestTimes TimedHarvest(ScratchDatabase& database, DatabaseUpdateOutcome& outcome) {
    auto model = std::make_unique<LogModel>();
    model->Load(BenchLogPath());
    model->SetPlayerDatabase(std::make_unique<SqlPlayerDatabase>(database.location()));
    NoProgress progress;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ProcessCpuMs();
    outcome = RunHarvestWalk(*model, progress);
    const HarvestTimes times{
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
        ProcessCpuMs() - cpuStart};
    database.Execute(R"(DELETE FROM "Players" WHERE "Player_key" > 1000000)");
    database.Execute(R"(DELETE FROM "GUID" WHERE "Guid_Key" > 200000)");
    return times;
}

// What the finds' indexes cost a harvest: in each iteration one harvest with
// them and one without, the order turned every other iteration (with,
// without; without, with; ...) so that a machine getting busier or quieter
// weighs on both alike. The iteration's time is both harvests; the counters
// give each kind's mean and the slowdown the indexes make.
void HarvestIndexCost(benchmark::State& state, TestEngine engine) {
    std::string skip;
    ScratchDatabase* database = GeneratedDatabase(engine, skip);
    if (database == nullptr) {
        state.SkipWithError(skip.c_str());
        return;
    }
    BenchLogPath(); // the log is made before any timing
    HarvestTimes with;
    HarvestTimes without;
    int runs = 0;
    DatabaseUpdateOutcome outcome;
    for (auto _ : state) {
        for (const bool withIndexes : {runs % 2 == 0, runs % 2 != 0}) {
            state.PauseTiming();
            if (withIndexes) {
                MakeFindIndexes(*database, engine);
            } else {
                DropFindIndexes(*database, engine);
            }
            state.ResumeTiming();
            const HarvestTimes times = TimedHarvest(*database, outcome);
            HarvestTimes& sum = withIndexes ? with : without;
            sum.wallMs += times.wallMs;
            sum.cpuMs += times.cpuMs;
            if (outcome.failure) {
                state.SkipWithError(outcome.failure->text.c_str());
                RestoreAsMade(*database, engine);
                return;
            }
        }
        ++runs;
    }
    RestoreAsMade(*database, engine);
    state.counters["with_ms"] = with.wallMs / runs;
    state.counters["without_ms"] = without.wallMs / runs;
    state.counters["slowdown_pct"] = 100.0 * (with.wallMs - without.wallMs) / without.wallMs;
    state.counters["with_cpu_ms"] = with.cpuMs / runs;
    state.counters["without_cpu_ms"] = without.cpuMs / runs;
    state.counters["cpu_slowdown_pct"] = 100.0 * (with.cpuMs - without.cpuMs) / without.cpuMs;
    state.counters["players_new"] = outcome.counters.playersNew;
}

using Mode = PlayerSearchMode;

void RegisterFinds(const char* engineName, TestEngine engine) {
    const std::pair<const char*, std::pair<Mode, std::string>> finds[] = {
        {"Name", {Mode::Name, TargetName()}},
        {"NameBroad", {Mode::Name, "name1"}},
        {"AddressExact", {Mode::Address, TargetAddress()}},
        {"AddressPrefix16", {Mode::Address, TargetSixteen()}},
        {"AddressNetwork20", {Mode::Address, TargetTwenty()}},
        {"GuidPrefix", {Mode::Guid, TargetGuidPrefix()}},
    };
    for (const auto& [kind, search] : finds) {
        benchmark::RegisterBenchmark((std::string("Find/") + kind + "/" + engineName).c_str(),
                                     [engine, search = search](benchmark::State& state) {
                                         Find(state, engine, search.first, search.second);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

void RegisterHarvests(const char* engineName, TestEngine engine) {
    benchmark::RegisterBenchmark(
        (std::string("Harvest/IndexCost/") + engineName).c_str(),
        [engine](benchmark::State& state) { HarvestIndexCost(state, engine); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(4);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RegisterFinds("Sqlite", TestEngine::Sqlite);
    RegisterHarvests("Sqlite", TestEngine::Sqlite);
    RegisterFinds("Postgres", TestEngine::Postgres);
    RegisterHarvests("Postgres", TestEngine::Postgres);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Generated().Forget();
    return 0;
}
