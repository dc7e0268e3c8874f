// What quarvelctl shows of the log model, compared byte for byte with the
// expected output kept beside each log under tests/data. These files change
// only on purpose: after a deliberate change, regenerate them with the
// commands named in each case and review the difference.
#include "LogGenerator.h"
#include "RunQuarvelctl.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string kData = QUARVEL_TEST_DATA;
const std::string kSampleLog = std::string(QUARVEL_SOURCE_DIR) + "/samples/sample.log";

struct GoldenCase {
    const char* name;
    std::vector<std::string> args;
    std::string expectedFile;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

class LogModelGolden : public testing::TestWithParam<GoldenCase> {};

TEST_P(LogModelGolden, OutputIsTheKeptOne) {
    const GoldenCase& c = GetParam();
    const CliResult r = RunQuarvelctl(c.args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string expected = ReadWholeFile(kData + "/" + c.expectedFile);
    ASSERT_FALSE(expected.empty()) << c.expectedFile;
    EXPECT_TRUE(r.out == expected) << "quarvelctl output differs from " << c.expectedFile;
}

INSTANTIATE_TEST_SUITE_P(
    Logs, LogModelGolden,
    testing::Values(
        GoldenCase{"EventsLines", {"lines", kData + "/events.log"}, "events.lines.jsonl"},
        GoldenCase{"EventsPlayers", {"players", kData + "/events.log"}, "events.players.json"},
        GoldenCase{"EventsPlayersTwoWalks",
                   {"players", kData + "/events.log", "--walks", "2"},
                   "events.players.json"},
        GoldenCase{"SamplePlayers", {"players", kSampleLog}, "sample.players.json"},
        GoldenCase{
            "SampleLinesHead", {"lines", kSampleLog, "--count", "120"}, "sample.lines-head.jsonl"}),
    [](const testing::TestParamInfo<GoldenCase>& info) { return info.param.name; });

// The whole sample's lines are too large to keep; their FNV-1a checksum and
// size are kept instead.
std::string Fnv1aAndSize(const std::string& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (unsigned char b : bytes) {
        hash = (hash ^ b) * 0x100000001b3u;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%016llx %zu\n", static_cast<unsigned long long>(hash),
                  bytes.size());
    return text;
}

TEST(LogModelGolden, SampleLinesChecksum) {
    const CliResult r = RunQuarvelctl({"lines", kSampleLog});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Fnv1aAndSize(r.out), ReadWholeFile(kData + "/sample.lines.fnv1a"));
}

// A generated log of 2 MB (seed 3): every player, chat and kill the
// generator makes, with the outputs kept as their hashes.
TEST(LogModelGolden, GeneratedLogLinesAndPlayers) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("quarvel-golden-" + std::to_string(::getpid()) + ".log"))
                                 .string();
    ASSERT_TRUE(WriteGeneratedLog(path, 2'000'000, 3));
    const CliResult lines = RunQuarvelctl({"lines", path});
    const CliResult players = RunQuarvelctl({"players", path});
    std::filesystem::remove(path);
    ASSERT_EQ(lines.exitCode, 0) << lines.err;
    ASSERT_EQ(players.exitCode, 0) << players.err;
    EXPECT_EQ(Fnv1aAndSize(lines.out), ReadWholeFile(kData + "/generated-2mb-seed3.lines.fnv1a"));
    EXPECT_EQ(Fnv1aAndSize(players.out),
              ReadWholeFile(kData + "/generated-2mb-seed3.players.fnv1a"));
}

TEST(QuarvelctlPlayers, WithoutWalksTheTablesAreEmpty) {
    const CliResult r = RunQuarvelctl({"players", kData + "/events.log", "--walks", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"guids\": [],\n\"connectionCount\": 0}\n"), std::string::npos);
    EXPECT_NE(r.out.find("{\"slot\": 63, \"name\": \"\", \"team\": 0, \"connection\": null}"),
              std::string::npos);
}

struct BadCallCase {
    const char* name;
    std::vector<std::string> args;
};

void PrintTo(const BadCallCase& c, std::ostream* os) {
    *os << c.name;
}

class QuarvelctlPlayersUsage : public testing::TestWithParam<BadCallCase> {};

TEST_P(QuarvelctlPlayersUsage, FailsWithAMessageOnStderr) {
    const CliResult r = RunQuarvelctl(GetParam().args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.err.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BadCalls, QuarvelctlPlayersUsage,
    testing::Values(BadCallCase{"NoLog", {"players"}},
                    BadCallCase{"MissingFile", {"players", "/nonexistent/x.log"}},
                    BadCallCase{"NegativeWalks", {"players", "x.log", "--walks", "-1"}},
                    BadCallCase{"WalksNotANumber", {"players", "x.log", "--walks", "two"}}),
    [](const testing::TestParamInfo<BadCallCase>& info) { return info.param.name; });

} // namespace
