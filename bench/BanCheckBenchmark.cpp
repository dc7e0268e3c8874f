// The check the harvest service makes on every ClientConnect line of a
// followed log: BanStates::Active on a database of 100,000 ban states, on
// SQLite always and on PostgreSQL when QUARVEL_TEST_PG_URI names a server
// (scripts/with-postgres sets it). The connection stays open, as the
// service keeps it, so each call is one indexed statement prepared once.
//
// The states are made once per engine and run, outside every timing, by
// set-based SQL: 90,000 GUIDs with an open state each (three in five
// permanent, one a temp-ban still running, one a temp-ban run out), and
// 10,000 lifted states of the first 10,000 of them, their history.
#include "BanStates.h"
#include "GeneratedDatabases.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <string>

namespace {

constexpr int kOpenStates = 90000;
constexpr int kLiftedStates = 10000;

// The GUID of number i, as both fills make it: i in 32 hexadecimal digits.
std::string GuidOf(long long i) {
    char text[40];
    std::snprintf(text, sizeof text, "%032llX", i);
    return text;
}

std::int64_t FillTime() {
    static const std::int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count();
    return now;
}

// The columns every fill writes, and what i % 5 makes of a state.
constexpr char kInsertColumns[] =
    R"(INSERT INTO "Ban_States" ("GUID", "Kind", "Start_Epoch", "Start_Time", "Expiry_Epoch", )"
    R"("Expiry_Time", "Player_Name", "Reason", "Issued_By", "Ended_Epoch", "Ended_Time", )"
    R"("End_Cause", "Lifted_By", "Lift_Reason") )";

std::vector<std::string> Fill(TestEngine engine) {
    const std::string now = std::to_string(FillTime());
    const bool sqlite = engine == TestEngine::Sqlite;
    const auto series = [&](int count) {
        return sqlite
                   ? "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                         std::to_string(count) + ") "
                   : std::string();
    };
    const std::string from =
        sqlite ? " FROM n" : " FROM generate_series(1, %1) AS n(i)"; // %1: the count
    const std::string guid = sqlite ? "printf('%032X', i)" : "lpad(upper(to_hex(i)), 32, '0')";
    const auto withCount = [](std::string text, int count) {
        const auto at = text.find("%1");
        if (at != std::string::npos) {
            text.replace(at, 2, std::to_string(count));
        }
        return text;
    };
    const std::string kind = "CASE WHEN i % 5 < 3 THEN 'permanent' ELSE 'temporary' END";
    const std::string expiry =
        "CASE WHEN i % 5 = 3 THEN " + now + " + 86400 WHEN i % 5 = 4 THEN " + now + " - 3600 END";
    std::vector<std::string> statements;
    statements.push_back(series(kOpenStates) + kInsertColumns + "SELECT " + guid + ", " + kind +
                         ", " + now + " - 86400 - i, 't', " + expiry + ", CASE WHEN i % 5 >= 3 " +
                         "THEN 't' END, 'name' || i, 'reason', 'admin' || (i % 7), NULL, NULL, " +
                         "NULL, NULL, NULL" + withCount(from, kOpenStates));
    statements.push_back(series(kLiftedStates) + kInsertColumns + "SELECT " + guid +
                         ", 'permanent', " + now + " - 864000 - i, 't', NULL, NULL, 'name', " +
                         "'reason', 'admin', " + now + " - 432000, 't', 'lifted', 'admin', ''" +
                         withCount(from, kLiftedStates));
    statements.push_back(sqlite ? "ANALYZE" : "VACUUM ANALYZE");
    return statements;
}

GeneratedDatabases& Generated() {
    static GeneratedDatabases databases;
    return databases;
}

// Active(GUID of number i) on an open connection; `banned` is what it must
// answer.
void Check(benchmark::State& state, TestEngine engine, long long i, bool banned) {
    std::string skip;
    ScratchDatabase* database = Generated().Get(engine, Fill(engine), skip);
    if (database == nullptr) {
        state.SkipWithError(skip.c_str());
        return;
    }
    const std::string rows = database->QueryText(R"(SELECT COUNT(*) FROM "Ban_States")");
    BanStates states(database->location(), "bench");
    states.Open();
    const std::string guid = GuidOf(i);
    if (states.Active(guid).has_value() != banned) {
        state.SkipWithError("the check gave the wrong answer");
        return;
    }
    for (auto _ : state) {
        auto active = states.Active(guid);
        benchmark::DoNotOptimize(active);
    }
    states.Close();
    state.SetLabel(rows + " states");
}

void RegisterChecks(const char* name, TestEngine engine) {
    struct Case {
        const char* name;
        long long i;
        bool banned;
    };
    static constexpr Case kCases[] = {
        {"permanent", 20005, true},       // i % 5 == 0
        {"temporary", 20003, true},       // i % 5 == 3
        {"runOut", 20004, false},         // i % 5 == 4
        {"liftedThenBanned", 5005, true}, // a lifted state, then an open one
        {"neverBanned", 999999999, false},
    };
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark(
            (std::string("Active/") + name + "/" + c.name).c_str(),
            [c, engine](benchmark::State& state) { Check(state, engine, c.i, c.banned); })
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RegisterChecks("Sqlite", TestEngine::Sqlite);
    RegisterChecks("Postgres", TestEngine::Postgres);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Generated().Forget();
    return 0;
}
