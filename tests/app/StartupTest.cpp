#include "Startup.h"

#include "CMainFrame.h"
#include "GlobalConfig.h"
#include "ShellTestSupport.h"
#include "StartupOptions.h"
#include "TempFile.h"

#include <gtest/gtest.h>

namespace {

struct OptionsCase {
    const char* name;
    QStringList arguments;
    QString configFile;
    QStringList logs;
    bool error;
};

void PrintTo(const OptionsCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(StartupOptionsTest, ReadsTheCommandLine) {
    const OptionsCase& c = GetParam();
    const StartupOptions options = ParseStartupOptions(QStringList{"quarvel"} + c.arguments);
    EXPECT_EQ(!options.error.isEmpty(), c.error) << options.error.toStdString();
    if (!c.error) {
        EXPECT_EQ(options.configFile, c.configFile);
        EXPECT_EQ(options.logs, c.logs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, StartupOptionsTest,
    ::testing::Values(
        OptionsCase{"Nothing", {}, "", {}, false},
        OptionsCase{"OneLog", {"a.log"}, "", {"a.log"}, false},
        OptionsCase{
            "EveryLog", {"a.log", "b.log", "/x/c.log"}, "", {"a.log", "b.log", "/x/c.log"}, false},
        OptionsCase{"Config", {"--config", "/etc/q.cfg", "a.log"}, "/etc/q.cfg", {"a.log"}, false},
        OptionsCase{"ConfigWithEquals", {"--config=q.cfg"}, "q.cfg", {}, false},
        OptionsCase{"LogAfterDoubleDash", {"--", "--config"}, "", {"--config"}, false},
        OptionsCase{"ConfigWithoutValue", {"--config"}, "", {}, true},
        OptionsCase{"UnknownOption", {"--bogus", "a.log"}, "", {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupOptionsHelp, EveryHelpOptionAsksForHelp) {
    for (const char* option : {"-h", "--help", "--help-all"}) {
        EXPECT_TRUE(ParseStartupOptions({"quarvel", option}).showHelp) << option;
    }
    EXPECT_FALSE(ParseStartupOptions({"quarvel", "a.log"}).showHelp);
    EXPECT_TRUE(ParseStartupOptions({"quarvel", "--version"}).showVersion);
}

TEST(StartupOptionsHelp, NamesTheProgram) {
    const StartupOptions options = ParseStartupOptions({"/some/where/bin/quarvel", "--help"});
    EXPECT_TRUE(options.showHelp);
    EXPECT_TRUE(options.helpText.startsWith("Usage: quarvel [options] [log...]"))
        << options.helpText.toStdString();
    EXPECT_TRUE(options.helpText.contains("--config <file>"));
}

TEST(Startup, OpensEveryLogThenReadsTheNamedConfiguration) {
    ClearUserSettings();
    TempFile first("   0:00 ShutdownGame:\n");
    TempFile second("");
    TempFile config("[database]\nfile=players.sqlite\n[server]\nname=Main\n", ".cfg");
    theAppConfig.databasePath.clear();

    CMainFrame frame;
    MessageRecorder messages;
    frame.setMessageSink(&messages);
    StartupOptions options;
    options.configFile = QString::fromStdString(config.path());
    options.logs = {QString::fromStdString(first.path()), "/no/such/quarvel.log",
                    QString::fromStdString(second.path())};
    EXPECT_FALSE(RunStartup(frame, options)) << "a log did not open";

    EXPECT_EQ(frame.childFrames().size(), 2);
    EXPECT_EQ(messages.messages.size(), 1u) << "the missing log is reported";
    EXPECT_EQ(theAppConfig.databasePath, "players.sqlite");
    ASSERT_FALSE(theAppConfig.servers.empty());
    EXPECT_EQ(theAppConfig.servers.front().name, "Main");
    theAppConfig.databasePath.clear();
    theAppConfig.servers.clear();
}

TEST(Startup, AMissingConfigurationLeavesNoServersAndNoDatabase) {
    theAppConfig.databasePath.clear();
    theAppConfig.servers.emplace_front();
    LoadGlobalConfig(QStringLiteral("/no/such/quarvel.cfg"));
    EXPECT_EQ(theAppConfig.path, "/no/such/quarvel.cfg");
    EXPECT_TRUE(theAppConfig.databasePath.empty());
    EXPECT_TRUE(theAppConfig.servers.empty());
}

// The lines the reader refused are told once, in one box listing each.
TEST(Startup, RefusedConfigurationLinesAreToldInOneMessage) {
    ClearUserSettings();
    TempFile config("[server]\nname=A\naddress=::1\n[server]\nname=B\n[database]\nfile=" +
                        std::string(1001, 'f') + "\n",
                    ".cfg");
    CMainFrame frame;
    MessageRecorder messages;
    frame.setMessageSink(&messages);
    StartupOptions options;
    options.configFile = QString::fromStdString(config.path());
    EXPECT_TRUE(RunStartup(frame, options));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Quarvel");
    EXPECT_EQ(messages.messages[0].text,
              config.path() +
                  ", line 3: \"address\" is neither a dotted IPv4 address nor a host name; the "
                  "server of this block is left out.\n" +
                  config.path() +
                  ", line 7: the value of \"file\" is longer than 1000 characters; no player "
                  "database is used.");
    ASSERT_FALSE(theAppConfig.servers.empty());
    EXPECT_EQ(theAppConfig.servers.front().name, "B");
    EXPECT_EQ(std::next(theAppConfig.servers.begin()), theAppConfig.servers.end());
    EXPECT_TRUE(theAppConfig.databasePath.empty());
    theAppConfig.servers.clear();
    theAppConfig.refusals.clear();
}

} // namespace
