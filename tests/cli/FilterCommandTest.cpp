#include "../logmodel/TempFile.h"
#include "RunQuarvelctl.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Bob connects on slot 2, says gg under a coloured name, is renamed Robert
// and kills; someone else says gg on a line that ends in CR LF.
const std::string kGuid = "0123456789ABCDEF0123456789ABCDEF";
const std::vector<std::string> kLines = {
    "  12:00 ClientConnect: 2 - 1.2.3.4:20000 [" + kGuid + "]",
    "  12:01 ClientUserinfoChanged: 2 n\\^1Bob\\t\\0\\model\\x",
    "  12:02 say: ^1Bob: gg all",
    "  12:03 ClientUserinfoChanged: 2 n\\Robert\\t\\1\\model\\x",
    "  12:04 Kill: 2 5 3: Robert killed Someone by MOD_KNIFE",
    "  12:05 say: Someone: gg",
    "  12:06 Item: 3 pickup_health",
};

std::string Log() {
    std::string log;
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        log += kLines[i] + (i == 5 ? "\r\n" : "\n");
    }
    return log;
}

// The lines as filter prints them.
std::string Printed(const std::vector<int>& lines) {
    std::string out;
    for (const int line : lines) {
        out += std::to_string(line) + "\t" + kLines[static_cast<std::size_t>(line)] + "\n";
    }
    return out;
}

struct FilterCase {
    const char* name;
    std::vector<std::string> args;
    std::string out;
    int exitCode;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.name;
}

class FilterCommandTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterCommandTest, PrintsTheMatchingLines) {
    TempFile log(Log());
    std::vector<std::string> args = {"filter", log.path()};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const CliResult r = RunQuarvelctl(args);
    EXPECT_EQ(r.out, GetParam().out);
    EXPECT_EQ(r.exitCode, GetParam().exitCode) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Filter, FilterCommandTest,
    testing::Values(
        FilterCase{"VisibleTextOfNames", {"--text", "Bob:", "--case"}, Printed({2}), 0},
        FilterCase{"CountWithoutClassifyingFirst", {"--text", "bob", "--count"}, "2\n", 0},
        FilterCase{"Expression", {"--text", "gg( all)?$", "--regex"}, Printed({2, 5}), 0},
        FilterCase{"Chat", {"--kind", "chat"}, Printed({2, 5}), 0},
        FilterCase{"KindsByCommas", {"--kind", "kill,rename"}, Printed({1, 3, 4}), 0},
        FilterCase{"KindsRepeated", {"--kind", "rename", "--kind", "connect", "--count"}, "3\n", 0},
        FilterCase{"PlayerAcrossRenames",
                   {"--player", "0123456789abcdef0123456789abcdef"},
                   Printed({0, 1, 2, 3, 4}),
                   0},
        FilterCase{"PlayerAndKind", {"--player", kGuid, "--kind", "chat"}, Printed({2}), 0},
        FilterCase{"Not", {"--kind", "chat", "--not", "--count"}, "5\n", 0},
        FilterCase{"NoCriterion", {"--count", "--json"}, "{\"count\": 7}\n", 0},
        FilterCase{"NothingMatches", {"--text", "nobody"}, "", 1},
        FilterCase{"NothingCounted", {"--text", "nobody", "--count"}, "0\n", 1},
        FilterCase{"BadExpression", {"--text", "(", "--regex"}, "", 2},
        FilterCase{"UnknownKind", {"--kind", "chat,spam"}, "", 2},
        FilterCase{"NotAGuid", {"--player", "Bob"}, "", 2},
        FilterCase{"RegexWithoutText", {"--regex"}, "", 2}),
    [](const testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

// --json prints each line as lines prints it.
TEST(FilterCommandJsonTest, PrintsLinesAsLinesDoes) {
    TempFile log(Log());
    const CliResult filtered = RunQuarvelctl({"filter", log.path(), "--text", "gg", "--json"});
    const CliResult line2 = RunQuarvelctl({"lines", log.path(), "--from", "2", "--count", "1"});
    const CliResult line5 = RunQuarvelctl({"lines", log.path(), "--from", "5", "--count", "1"});
    EXPECT_EQ(filtered.exitCode, 0);
    EXPECT_EQ(filtered.out, line2.out + line5.out);
}

TEST(FilterCommandJsonTest, SaysWhyAnExpressionIsRefused) {
    TempFile log(Log());
    const CliResult r = RunQuarvelctl({"filter", log.path(), "--text", "(", "--regex"});
    EXPECT_EQ(r.err, "quarvelctl: Bad regular expression supplied\n");
}

// A name's ESC and BEL reach the terminal escaped, and a Windows-1252 byte
// as its character.
TEST(FilterCommandTextTest, EscapesControlBytesOfTheText) {
    TempFile log("  12:00 say: \x1b]0;owned\x07: gg \xe9\n");
    const CliResult r = RunQuarvelctl({"filter", log.path(), "--text", "gg"});
    EXPECT_EQ(r.out, "0\t  12:00 say: \\u001b]0;owned\\u0007: gg \u00e9\n");
}

} // namespace
