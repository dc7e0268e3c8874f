// The harvest service, measured as it runs: quarvelctl follow --harvest
// processes on a generated log.
//
//   follower_bench restart LOG DATABASE [ROUNDS]
//     The time from starting a follower again on LOG, whose place DATABASE
//     holds already, to the first line appended after the start being stored
//     (a new GUID, looked for every 2 ms). Each round appends one line; the
//     first round harvests LOG (once, untimed) if DATABASE holds no place yet.
//     Printed: each round's milliseconds and their median; then the same from
//     a follower with no place stored (it reads the whole log again first),
//     for comparison, once.
//
//   follower_bench writers DATABASE LOG...
//     One follower on the first log into DATABASE, then (DATABASE emptied)
//     one follower on each log at once: the lines a second in all, each time
//     from the start to every follower's place reaching the end of its log.
//
// DATABASE is what quarvel.cfg's "file" would say: an SQLite file, made with
// init-db when missing, or a postgresql:// URI of a database init-db has
// filled.
#include "FileMapping.h"
#include "LogModel.h"
#include "PlayerDatabase.h"
#include "QuarvelctlChild.h"
#include "SqlConnection.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class Database {
public:
    explicit Database(const std::string& location) {
        std::string error;
        const auto target = ParseDatabaseTarget(location, error);
        if (!target) {
            throw DatabaseError(error);
        }
        connection_.Open(*target, SqlConnection::OpenAs::AnyDatabase);
    }
    std::vector<std::string> Column(const std::string& sql) {
        QSqlQuery query = connection_.Prepare(QString::fromStdString(sql));
        connection_.Execute(query);
        std::vector<std::string> column;
        while (query.next()) {
            column.push_back(query.value(0).toString().toStdString());
        }
        return column;
    }
    void Run(const std::string& sql) { connection_.ExecuteText(QString::fromStdString(sql)); }

private:
    SqlConnection connection_;
};

std::string WriteConfig(const std::string& location) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "follower_bench.cfg").string();
    std::ofstream(path) << "[database]\nfile=" << location << "\n";
    return path;
}

std::vector<std::string> FollowArgs(const std::string& log, const std::string& config) {
    return {"follow", log, "--config", config, "--harvest", "--no-lines"};
}

// Waits until every follower's stored offset has reached its log's size.
void WaitForPlaces(Database& database, const std::vector<std::string>& logs) {
    for (;;) {
        bool all = true;
        for (const std::string& log : logs) {
            const auto offset = database.Column(
                R"(SELECT "Byte_Offset" FROM "Quarvel_Followers" WHERE "Log_Path" = ')" +
                std::filesystem::absolute(log).string() + "'");
            all = all && !offset.empty() &&
                  std::stoull(offset.front()) >= std::filesystem::file_size(log);
        }
        if (all) {
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
}

// A player no earlier run appended to the log: the round and the clock.
std::string NewPlayerLines(int round) {
    char guid[33];
    std::snprintf(guid, sizeof guid, "BE%04d%026llX", round,
                  static_cast<unsigned long long>(
                      std::chrono::system_clock::now().time_since_epoch().count()));
    return "  99:00 ClientConnect: 63 - 10.9.9.9:28960 [" + std::string(guid) +
           "]\n  99:00 ClientUserinfoChanged: 63 n\\Bench" + std::to_string(round) + "\\t\\1\\m\n";
}

// Starts a follower, appends one new player and returns the milliseconds
// until its GUID is stored.
double RestartToFirstLine(Database& database, const std::string& log, const std::string& config,
                          int round) {
    const std::string lines = NewPlayerLines(round);
    const std::string guid = lines.substr(lines.find('[') + 1, 32);
    const Clock::time_point start = Clock::now();
    QuarvelctlChild follower(FollowArgs(log, config));
    std::ofstream(log, std::ios::binary | std::ios::app) << lines;
    while (database.Column(R"(SELECT 1 FROM "GUID" WHERE "GUID" = ')" + guid + "'").empty()) {
        std::this_thread::sleep_for(2ms);
    }
    const double ms = Milliseconds(Clock::now() - start);
    follower.Signal(SIGTERM);
    follower.Wait();
    return ms;
}

int Restart(const std::string& log, const std::string& location, int rounds) {
    if (!location.starts_with("postgresql://") && !std::filesystem::exists(location)) {
        QuarvelctlChild init({"init-db", location});
        init.Wait(std::chrono::minutes(1));
    }
    const std::string config = WriteConfig(location);
    Database database(location);
    if (database
            .Column(R"(SELECT 1 FROM "Quarvel_Followers" WHERE "Log_Path" = ')" +
                    std::filesystem::absolute(log).string() + "'")
            .empty()) {
        const Clock::time_point start = Clock::now();
        QuarvelctlChild first(FollowArgs(log, config));
        WaitForPlaces(database, {log});
        first.Signal(SIGTERM);
        first.Wait();
        std::printf("first harvest of the whole log: %.0f ms\n",
                    Milliseconds(Clock::now() - start));
    }
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        times.push_back(RestartToFirstLine(database, log, config, round + 1));
        std::printf("restart %d: %.1f ms to the first new line stored\n", round + 1, times.back());
    }
    std::sort(times.begin(), times.end());
    std::printf("median: %.1f ms (%zu rounds)\n", times[times.size() / 2], times.size());
    database.Run(R"(DELETE FROM "Quarvel_Followers")");
    std::printf("without a place: %.0f ms to the first new line stored\n",
                RestartToFirstLine(database, log, config, rounds + 1));
    return 0;
}

int Writers(const std::string& location, const std::vector<std::string>& logs) {
    const std::string config = WriteConfig(location);
    Database database(location);
    const auto empty = [&database] {
        database.Run(R"(DELETE FROM "Quarvel_Followers")");
        database.Run(R"(DELETE FROM "Players")");
        database.Run(R"(DELETE FROM "GUID")");
    };
    const auto linesOf = [](const std::string& log) {
        LogModel model;
        model.Load(log);
        return static_cast<long long>(model.lineCount());
    };
    const auto run = [&](const std::vector<std::string>& followed) {
        empty();
        long long lines = 0;
        for (const std::string& log : followed) {
            lines += linesOf(log);
        }
        const Clock::time_point start = Clock::now();
        std::vector<std::unique_ptr<QuarvelctlChild>> followers;
        for (const std::string& log : followed) {
            followers.push_back(std::make_unique<QuarvelctlChild>(FollowArgs(log, config)));
        }
        WaitForPlaces(database, followed);
        const double seconds = Milliseconds(Clock::now() - start) / 1000;
        for (auto& follower : followers) {
            follower->Signal(SIGTERM);
            follower->Wait();
        }
        std::printf("%zu follower(s): %lld lines in %.2f s, %.0f lines a second in all\n",
                    followed.size(), lines, seconds, static_cast<double>(lines) / seconds);
        return static_cast<double>(lines) / seconds;
    };
    const double one = run({logs.front()});
    const double all = run(logs);
    std::printf("%zu followers against one: %.2f times the lines a second\n", logs.size(),
                all / one);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as it comes
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() >= 3 && args[0] == "restart") {
            return Restart(args[1], args[2], args.size() > 3 ? std::stoi(args[3]) : 5);
        }
        if (args.size() >= 3 && args[0] == "writers") {
            return Writers(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
        }
    } catch (const DatabaseError& error) {
        std::fprintf(stderr, "follower_bench: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: follower_bench restart LOG DATABASE [ROUNDS]\n"
                         "       follower_bench writers DATABASE LOG...\n");
    return 2;
}
