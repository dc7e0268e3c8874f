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

} // namespace
