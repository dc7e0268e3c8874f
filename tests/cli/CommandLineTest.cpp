// quarvelctl's command line as a program sees it: --version, --help per
// command, the option forms the parser accepts, and words that are bytes
// rather than UTF-8 text.
#include "../logmodel/TempFile.h"
#include "RunQuarvelctl.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

// The command names `quarvelctl --help` lists.
std::vector<std::string> ListedCommands() {
    std::istringstream help(RunQuarvelctl({"--help"}).out);
    std::vector<std::string> commands;
    std::string line;
    bool inCommands = false;
    while (std::getline(help, line)) {
        if (line == "commands:") {
            inCommands = true;
        } else if (line.empty()) {
            inCommands = false;
        } else if (inCommands && line.rfind("  ", 0) == 0) {
            commands.push_back(line.substr(2, line.find(' ', 2) - 2));
        }
    }
    return commands;
}

TEST(QuarvelctlVersion, PrintsTheProjectVersion) {
    const CliResult r = RunQuarvelctl({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "quarvelctl " QUARVEL_PROJECT_VERSION "\n");
    EXPECT_EQ(r.err, "");
}

TEST(QuarvelctlCommandHelp, EveryListedCommandDescribesItself) {
    const std::vector<std::string> commands = ListedCommands();
    ASSERT_EQ(commands.size(), 21u);
    for (const std::string& command : commands) {
        for (const char* option : {"--help", "-h"}) {
            const CliResult r = RunQuarvelctl({command, option});
            EXPECT_EQ(r.exitCode, 0) << command << " " << option << ": " << r.err;
            EXPECT_EQ(r.out.rfind("usage: quarvelctl " + command + " ", 0), 0u) << r.out;
            EXPECT_NE(r.out.find("exit status:"), std::string::npos) << command;
        }
    }
}

// Every option a command's help names is one its parser takes: given with a
// value it never is an "unknown option".
TEST(QuarvelctlCommandHelp, TheHelpNamesOnlyOptionsTheParserTakes) {
    int total = 0;
    for (const std::string& command : ListedCommands()) {
        std::istringstream help(RunQuarvelctl({command, "--help"}).out);
        std::string line;
        int options = 0;
        while (std::getline(help, line)) {
            if (line.rfind("  --", 0) != 0) {
                continue;
            }
            const std::string option = line.substr(2, line.find(' ', 2) - 2);
            const CliResult r = RunQuarvelctl({command, option + "=1"});
            EXPECT_EQ(r.err.find("unknown option"), std::string::npos) << command << " " << option;
            ++options;
        }
        total += options;
    }
    EXPECT_GT(total, 20);
}

struct OptionFormCase {
    const char* name;
    std::vector<std::string> args; // the log's path is appended
    std::string out;
};

void PrintTo(const OptionFormCase& c, std::ostream* os) {
    *os << c.name;
}

class QuarvelctlOptionForms : public testing::TestWithParam<OptionFormCase> {};

// The three lines "a", "b", "c" of a log, picked by --from and --count in
// each form the parser reads.
TEST_P(QuarvelctlOptionForms, PickTheSameLines) {
    TempFile log("a\nb\nc\n");
    std::vector<std::string> args = GetParam().args;
    args.push_back(log.path());
    const CliResult r = RunQuarvelctl(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string lines;
    for (const char* line : {"\"line\": 0", "\"line\": 1", "\"line\": 2"}) {
        lines += r.out.find(line) != std::string::npos ? '1' : '0';
    }
    EXPECT_EQ(lines, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, QuarvelctlOptionForms,
    testing::Values(
        OptionFormCase{"SeparateValue", {"lines", "--from", "1", "--count", "1"}, "010"},
        OptionFormCase{"EqualsValue", {"lines", "--from=1", "--count=1"}, "010"},
        OptionFormCase{"LastOneCounts", {"lines", "--from", "0", "--from", "2"}, "001"},
        OptionFormCase{"OptionsAfterTheLog", {"lines", "--from=2"}, "001"},
        OptionFormCase{"DoubleDashEndsOptions", {"lines", "--from=1", "--"}, "011"}),
    [](const testing::TestParamInfo<OptionFormCase>& info) { return info.param.name; });

// A log whose name starts with a dash is given after "--": in the working
// folder, where such a name is a relative path.
TEST(QuarvelctlArguments, ALogNamedLikeAnOptionFollowsDoubleDash) {
    const std::string name = "-dashed-" + std::to_string(::getpid()) + ".log";
    std::ofstream(name, std::ios::binary) << "a\n";
    const CliResult r = RunQuarvelctl({"lines", "--", name});
    std::filesystem::remove(name);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"line\": 0"), std::string::npos);
}

// Words are bytes: a path that is no UTF-8 reaches the file system
// unchanged, and so does such a value in each form an option takes.
TEST(QuarvelctlArguments, WordsThatAreNotUtf8ArePassedByteForByte) {
    TempFile log("caf\xe9 -\xe9\n", "-caf\xe9.log");
    const CliResult lines = RunQuarvelctl({"lines", log.path()});
    EXPECT_EQ(lines.exitCode, 0) << lines.err;
    EXPECT_NE(lines.out.find("\"line\": 0"), std::string::npos);
    const std::vector<std::pair<std::vector<std::string>, std::string>> searches = {
        {{"--text", "\xe9"}, "0 3 3\n"},
        {{"--text=\xe9"}, "0 3 3\n"},
        {{"--text", "-\xe9"}, "0 5 6\n"},
        {{"--text=-\xe9"}, "0 5 6\n"},
    };
    for (const auto& [text, hit] : searches) {
        std::vector<std::string> args{"search", log.path()};
        args.insert(args.end(), text.begin(), text.end());
        EXPECT_EQ(RunQuarvelctl(args).out, hit) << text.back();
    }
}

struct RefusedWordsCase {
    const char* name;
    std::vector<std::string> args;
    std::string err;
};

void PrintTo(const RefusedWordsCase& c, std::ostream* os) {
    *os << c.name;
}

class QuarvelctlRefusedWords : public testing::TestWithParam<RefusedWordsCase> {};

TEST_P(QuarvelctlRefusedWords, SayWhyWithExitTwo) {
    const CliResult r = RunQuarvelctl(GetParam().args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Words, QuarvelctlRefusedWords,
    testing::Values(
        RefusedWordsCase{
            "UnknownOption", {"config", "--colour"}, "quarvelctl: unknown option --colour\n"},
        RefusedWordsCase{
            "UnknownShortOption", {"lines", "-x", "a.log"}, "quarvelctl: unknown option -x\n"},
        RefusedWordsCase{"MissingValue",
                         {"lines", "a.log", "--from"},
                         "quarvelctl: option --from needs a value\n"},
        RefusedWordsCase{"ValueOfASwitch",
                         {"follow", "a.log", "--harvest=yes"},
                         "quarvelctl: option --harvest takes no value\n"},
        RefusedWordsCase{"HelpOfAnUnknownCommand",
                         {"frobnicate", "--help"},
                         "quarvelctl: unknown command \"frobnicate\"; see quarvelctl --help\n"}),
    [](const testing::TestParamInfo<RefusedWordsCase>& info) { return info.param.name; });

} // namespace
