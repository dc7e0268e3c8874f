#include "../logmodel/TempFile.h"
#include "RunQuarvelctl.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(QuarvelctlConfig, PrintsServersHeadFirstAsJson) {
    TempFile cfg("[server]\nname=A\naddress=1.2.3.4\nport=7\nrconpass=p\"q\n"
                 "[server]\nname=B\xe9\n[database]\nfile=db.sqlite\n",
                 ".cfg");
    const CliResult r = RunQuarvelctl({"config", "--config", cfg.path(), "--show-secrets"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string defaults =
        ", \"log\": \"\", \"poll\": 5, \"kick\": \"clientkick {slot}\", \"tempkick\": "
        "\"pb_sv_kick {pbslot} {minutes} \\\"{reason}\\\"\", \"say\": \"say {text}\", "
        "\"userinfo\": \"dumpuser {slot}\"}";
    EXPECT_EQ(r.out,
              "{\"databasePath\": \"db.sqlite\", \"servers\": ["
              "{\"name\": \"B\xc3\xa9\", \"address\": \"\", \"port\": 0, \"rconpass\": \"\"" +
                  defaults +
                  ", {\"name\": \"A\", \"address\": \"1.2.3.4\", \"port\": 7, \"rconpass\": "
                  "\"p\\\"q\"" +
                  defaults + "]}\n");
}

// Passwords are masked unless asked for: the RCON password and the one a
// database URI carries (which the database itself refuses).
TEST(QuarvelctlConfig, MasksPasswordsUnlessAskedToShowThem) {
    TempFile cfg("[server]\nname=A\nrconpass=Sekr1t\n[server]\nname=B\n[database]\n"
                 "file=postgresql://admin:Xk9@db/q?sslmode=require\n",
                 ".cfg");
    const CliResult masked = RunQuarvelctl({"config", "--config", cfg.path()});
    EXPECT_EQ(masked.exitCode, 0) << masked.err;
    EXPECT_NE(masked.out.find("\"databasePath\": "
                              "\"postgresql://admin:********@db/q?sslmode=require\""),
              std::string::npos)
        << masked.out;
    EXPECT_NE(masked.out.find("\"name\": \"A\", \"address\": \"\", \"port\": 0, "
                              "\"rconpass\": \"********\""),
              std::string::npos);
    EXPECT_NE(masked.out.find("\"name\": \"B\", \"address\": \"\", \"port\": 0, "
                              "\"rconpass\": \"\""),
              std::string::npos)
        << "no password set shows as none";
    EXPECT_EQ(masked.out.find("Sekr1t"), std::string::npos);
    EXPECT_EQ(masked.out.find("Xk9"), std::string::npos);

    const CliResult shown = RunQuarvelctl({"config", "--config", cfg.path(), "--show-secrets"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_NE(shown.out.find("\"rconpass\": \"Sekr1t\""), std::string::npos);
    EXPECT_NE(shown.out.find("postgresql://admin:Xk9@db/q?sslmode=require"), std::string::npos);
}

// Each refused line is said on stderr with its file and line; the rest of
// the file is printed.
TEST(QuarvelctlConfig, SaysEachRefusedLineAndGoesOn) {
    TempFile cfg("[server]\nname=A\naddress=host:28960\n[server]\nname=B\nrconpass=" +
                     std::string(40, 'S') + "\n[server]\nname=C\n",
                 ".cfg");
    const CliResult r = RunQuarvelctl({"config", "--config", cfg.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "quarvelctl: " + cfg.path() +
                         ", line 3: \"address\" is neither a dotted IPv4 address nor a host name; "
                         "the server of this block is left out.\nquarvelctl: " +
                         cfg.path() +
                         ", line 6: the value of \"rconpass\" is longer than 39 characters; the "
                         "server of this block is left out.\n");
    EXPECT_NE(r.out.find("\"name\": \"C\""), std::string::npos);
    EXPECT_EQ(r.out.find("\"name\": \"A\""), std::string::npos);
    EXPECT_EQ(r.out.find("\"name\": \"B\""), std::string::npos);
}

TEST(QuarvelctlConfig, UnreadableFileIsExitOne) {
    const CliResult r = RunQuarvelctl({"config", "--config", "/nonexistent/quarvel.cfg"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("/nonexistent/quarvel.cfg"), std::string::npos);
}

// A folder opens and reads as an empty file: it is no configuration.
TEST(QuarvelctlConfig, AFolderIsExitOne) {
    const std::string folder = std::filesystem::temp_directory_path().string();
    const CliResult r = RunQuarvelctl({"config", "--config", folder});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find(folder), std::string::npos);
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class QuarvelctlUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(QuarvelctlUsage, FailsWithAMessageOnStderr) {
    const CliResult r = RunQuarvelctl(GetParam().args);
    EXPECT_EQ(r.exitCode, GetParam().exitCode);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.err.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BadCalls, QuarvelctlUsage,
    testing::Values(UsageCase{"UnknownCommand", {"frobnicate"}, 2},
                    UsageCase{"LinesWithoutLog", {"lines"}, 2},
                    UsageCase{"LinesMissingFile", {"lines", "/nonexistent/x.log"}, 2},
                    UsageCase{"LinesBadNumber", {"lines", "x.log", "--from", "ten"}, 2},
                    UsageCase{"UnknownOption", {"config", "--colour"}, 2}),
    [](const testing::TestParamInfo<UsageCase>& info) { return info.param.name; });

TEST(QuarvelctlHelp, ListsTheCommands) {
    const CliResult r = RunQuarvelctl({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("config"), std::string::npos);
    EXPECT_NE(r.out.find("lines"), std::string::npos);
}

// --from and --count as large as a long long: no overflow, the lines there
// are printed.
TEST(QuarvelctlLines, HugeCountsPrintWhatIsThere) {
    TempFile log("a\nb\nc\n");
    const CliResult all =
        RunQuarvelctl({"lines", log.path(), "--from", "1", "--count", "9223372036854775807"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out.find("\"line\": 0"), std::string::npos);
    EXPECT_NE(all.out.find("\"line\": 2"), std::string::npos);
    const CliResult past = RunQuarvelctl(
        {"lines", log.path(), "--from", "9223372036854775807", "--count", "9223372036854775807"});
    EXPECT_EQ(past.exitCode, 0) << past.err;
    EXPECT_EQ(past.out, "");
    const CliResult one = RunQuarvelctl({"lines", log.path(), "--from", "2", "--count", "1"});
    EXPECT_NE(one.out.find("\"line\": 2"), std::string::npos);
    EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 1);
}

TEST(QuarvelctlLines, EmptyFilePrintsNothing) {
    TempFile log("");
    const CliResult r = RunQuarvelctl({"lines", log.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

} // namespace
