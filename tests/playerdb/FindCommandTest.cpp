#include "../cli/RunQuarvelctl.h"
#include "BanRecordStore.h"
#include "ScratchDatabase.h"
#include "StoredPlayers.h"

#include <fstream>
#include <gtest/gtest.h>
#include <optional>

// quarvelctl find and history, run as a program on each engine.
namespace {

constexpr char kGuidA[] = "0123456789ABCDEF0123456789ABCDEF";
constexpr char kGuidB[] = "0123FFFF89ABCDEF0123456789ABCDEF";
constexpr char kGuidC[] = "FEDCBA9876543210FEDCBA9876543210";

class FindCommand : public ::testing::TestWithParam<TestEngine> {
protected:
    void SetUp() override {
        scratch_.emplace(GetParam(), ScratchDatabase::Isolation::Database);
        if (!scratch_->skipReason().empty()) {
            GTEST_SKIP() << scratch_->skipReason();
        }
        config_ = scratch_->FileInFolder("quarvel.cfg");
        std::ofstream(config_) << "[database]\nfile=" << scratch_->location() << "\n";
        scratch_->Create();
    }

    // A sighting stored on day `day` of February 2004.
    void Store(const char* guid, const char* ip, const char* name, const char* raw, unsigned day) {
        const std::chrono::year_month_day date{std::chrono::year{2004}, std::chrono::month{2},
                                               std::chrono::day{day}};
        StoreSighting(scratch_->location(), guid, ip, name, raw, [date] { return date; });
    }

    CliResult Run(std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"--config", config_});
        return RunQuarvelctl(args);
    }

    std::optional<ScratchDatabase> scratch_;
    std::string config_;
};

TEST_P(FindCommand, PrintsOneObjectAMatchingGuidNewestFirst) {
    Store(kGuidA, "81.2.3.4", "Bob", "^1Bob", 1);
    Store(kGuidA, "81.2.3.5", "Bob", "^1Bob", 2);
    Store(kGuidA, "81.2.3.5",
          "R\xF6"
          "b\"",
          "^2R\xF6"
          "b\"",
          3);
    Store(kGuidB, "10.0.0.1", "bobcat", "bobcat", 3);
    Store(kGuidC, "81.2.9.9", "Zed", "Zed", 9);

    const CliResult byName = Run({"find", "--name", "BOB"});
    EXPECT_EQ(byName.exitCode, 0) << byName.err;
    EXPECT_EQ(byName.out,
              std::string("{\"guid\": \"") + kGuidA +
                  "\", \"names\": [\"Bob\", \"R\xC3\xB6"
                  "b\\\"\"], \"ips\": [\"81.2.3.4\", "
                  "\"81.2.3.5\"], \"sightings\": 3, \"firstSeen\": \"2004-02-01\", "
                  "\"lastSeen\": \"2004-02-03\"}\n"
                  "{\"guid\": \"" +
                  kGuidB +
                  "\", \"names\": [\"bobcat\"], \"ips\": [\"10.0.0.1\"], \"sightings\": 1, "
                  "\"firstSeen\": \"2004-02-03\", \"lastSeen\": \"2004-02-03\"}\n");
    EXPECT_EQ(byName.err, "");

    const auto guids = [](const std::string& out) {
        std::vector<std::string> found;
        for (std::size_t at = out.find("\"guid\": \""); at != std::string::npos;
             at = out.find("\"guid\": \"", at + 1)) {
            found.push_back(out.substr(at + 9, 32));
        }
        return found;
    };
    EXPECT_EQ(guids(Run({"find", "--ip", "81.2.0.0/16"}).out),
              (std::vector<std::string>{kGuidC, kGuidA}));
    EXPECT_EQ(guids(Run({"find", "--ip", "81.2.3.5"}).out), (std::vector<std::string>{kGuidA}));
    EXPECT_EQ(guids(Run({"find", "--guid", "0123"}).out),
              (std::vector<std::string>{kGuidA, kGuidB}));
    EXPECT_EQ(guids(Run({"find", "--guid", "fedc"}).out), (std::vector<std::string>{kGuidC}));
    // The command line's UTF-8 is the log's Windows-1252.
    EXPECT_EQ(guids(Run({"find", "--name",
                         "r\xC3\x96"
                         "B"})
                        .out),
              (std::vector<std::string>{kGuidA}));

    const CliResult cut = Run({"find", "--ip", "0.0.0.0/0", "--limit", "2"});
    EXPECT_EQ(cut.exitCode, 0);
    EXPECT_EQ(guids(cut.out), (std::vector<std::string>{kGuidC, kGuidA}));
    EXPECT_NE(cut.err.find("the first 2"), std::string::npos) << cut.err;
}

TEST_P(FindCommand, NoMatchIsNothingOnStdoutAndExitOne) {
    Store(kGuidA, "81.2.3.4", "Bob", "Bob", 1);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"find", "--name", "alice"}, {"find", "--ip", "81.2.3.40"}, {"find", "--guid", "F"}}) {
        const CliResult r = Run(args);
        EXPECT_EQ(r.exitCode, 1) << args.back();
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "No player found\n");
    }
}

TEST_P(FindCommand, HistoryPrintsTheRecordsNewestFirstWithWhatTheyKnow) {
    {
        auto times = std::make_shared<std::vector<BanTime>>(
            std::vector<BanTime>{{1075665909, 3600}, {1075665909, 3600}, {1075665969, -12600}});
        BanRecordStore store(scratch_->location(), "alice", [times] {
            const BanTime time = times->front();
            times->erase(times->begin());
            return time;
        });
        const BanTarget player{kGuidA, "81.2.3.4", "^1Bob"};
        const ServerResult done{
            "Public #1", ServerOutcome::Done, {"GUID added to ban list", "Public #1"}};
        const ServerResult silent{"Public #2", ServerOutcome::Failed, {"No reply", "Public #2"}};
        store.Record({BanAction::Ban, player, "aim \"bot\"", done});
        store.Record({BanAction::Ban, player, "aim \"bot\"", silent});
        const BanTarget guidOnly{kGuidA, {}, {}};
        const ServerResult removed{
            "Public #1", ServerOutcome::Done, {"GUID removed from ban list", "Public #1"}};
        store.Record({BanAction::Unban, guidOnly, {}, removed});
        store.Close();
        ASSERT_EQ(store.stored(), 3) << store.firstError();
    }
    const std::string unban =
        std::string("{\"time\": \"2004-02-01T16:36:09-03:30\", \"action\": \"unban\", \"guid\": "
                    "\"") +
        kGuidA +
        "\", \"name\": \"\", \"ip\": \"\", \"reason\": \"\", \"server\": \"Public #1\", "
        "\"result\": \"GUID removed from ban list\", \"admin\": \"alice\", \"minutes\": null}\n";
    const std::string silentBan =
        std::string("{\"time\": \"2004-02-01T21:05:09+01:00\", \"action\": \"ban\", \"guid\": \"") +
        kGuidA +
        "\", \"name\": \"^1Bob\", \"ip\": \"81.2.3.4\", \"reason\": \"aim \\\"bot\\\"\", "
        "\"server\": \"Public #2\", \"result\": \"No reply\", \"admin\": \"alice\", \"minutes\": "
        "null}\n";
    const CliResult all = Run({"history"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    ASSERT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 3) << all.out;
    EXPECT_EQ(all.out.substr(0, unban.size() + silentBan.size()), unban + silentBan);
    EXPECT_EQ(Run({"history", "--guid", kGuidA, "--limit", "1"}).out, unban);
    const CliResult lower = Run({"history", "--guid", "0123456789abcdef0123456789abcdef"});
    EXPECT_EQ(std::count(lower.out.begin(), lower.out.end(), '\n'), 3);
    const CliResult none = Run({"history", "--guid", kGuidC});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
}

INSTANTIATE_TEST_SUITE_P(Engines, FindCommand,
                         ::testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                         [](const ::testing::TestParamInfo<TestEngine>& info) {
                             return EngineName(info.param);
                         });

struct RefusedCase {
    const char* name;
    std::vector<std::string> args;
    const char* says;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class FindRefusals : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(FindRefusals, SayWhatIsWrongWithExitTwo) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    scratch.Create();
    const std::string config = scratch.FileInFolder("quarvel.cfg");
    std::ofstream(config) << "[database]\nfile=players.sqlite\n";
    std::vector<std::string> args = GetParam().args;
    args.insert(args.begin() + 1, {"--config", config});
    const CliResult r = RunQuarvelctl(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, FindRefusals,
    ::testing::Values(
        RefusedCase{"ThreeNumbers", {"find", "--ip", "1.2.3"}, "\"1.2.3\" is not an address"},
        RefusedCase{"OctetTooLarge", {"find", "--ip", "300.1.1.1"}, "from 0 to 255"},
        RefusedCase{"NetworkTooLarge", {"find", "--ip", "1.2.3.4/33"}, "from 0 to 32"},
        RefusedCase{"PrefixWithoutDot", {"find", "--ip", "81.2"}, "is not an address"},
        RefusedCase{"NonHexGuid", {"find", "--guid", "12G4"}, "not a hexadecimal digit"},
        RefusedCase{"LongGuid", {"find", "--guid", std::string(33, '0')}, "33 characters"},
        RefusedCase{"EmptyName", {"find", "--name", ""}, "empty"},
        RefusedCase{"EmptyAddress", {"find", "--ip", ""}, "empty"},
        RefusedCase{"EmptyGuid", {"find", "--guid", ""}, "empty"},
        RefusedCase{"NoSearch", {"find"}, "usage"},
        RefusedCase{"TwoSearches", {"find", "--name", "a", "--guid", "1"}, "usage"},
        RefusedCase{"Positional", {"find", "--name", "a", "extra"}, "usage"},
        RefusedCase{"ZeroLimit", {"find", "--name", "a", "--limit", "0"}, "--limit"},
        RefusedCase{"WordLimit", {"find", "--name", "a", "--limit", "all"}, "--limit"},
        RefusedCase{"HistoryZeroLimit", {"history", "--limit", "0"}, "--limit"},
        RefusedCase{"HistoryPositional", {"history", "x"}, "usage"}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST(FindCommandDatabase, NoConfiguredDatabaseIsExitOne) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    const std::string config = scratch.FileInFolder("quarvel.cfg");
    std::ofstream(config) << "[server]\nname=A\n";
    for (const auto& command : {"find", "history"}) {
        std::vector<std::string> args{command, "--config", config};
        if (std::string(command) == "find") {
            args.insert(args.end(), {"--name", "a"});
        }
        const CliResult r = RunQuarvelctl(args);
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_NE(r.err.find("no player database"), std::string::npos) << r.err;
    }
}

} // namespace
