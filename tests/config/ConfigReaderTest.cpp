#include "../logmodel/TempFile.h"
#include "AppConfig.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Server {
    std::string name, address;
    int port;
    std::string rconpass;
    bool operator==(const Server&) const = default;
};

void PrintTo(const Server& s, std::ostream* os) {
    *os << "{" << s.name << ", " << s.address << ", " << s.port << ", " << s.rconpass << "}";
}

struct ConfigCase {
    const char* name;
    std::string file;
    std::vector<Server> servers; // in list order, head first
    std::string databasePath;
};

void PrintTo(const ConfigCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigFile : public testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigFile, IsReadIntoAppConfig) {
    const ConfigCase& c = GetParam();
    TempFile file(c.file, ".cfg");
    AppConfig config;
    config.path = file.path();
    ASSERT_TRUE(config.Load());
    std::vector<Server> servers;
    for (const ServerEntry& s : config.servers) {
        servers.push_back({s.name, s.address, s.port, s.rconpass});
    }
    EXPECT_EQ(servers, c.servers);
    EXPECT_EQ(config.databasePath, c.databasePath);
}

const std::string k100(100, 'x');

INSTANTIATE_TEST_SUITE_P(
    Lines, ConfigFile,
    testing::Values(
        ConfigCase{"FullFile",
                   "; comment\n[server]\nname=Main\naddress=10.0.0.1\nport=28960\nrconpass=pw\n"
                   "[database]\nfile=players.sqlite\n",
                   {{"Main", "10.0.0.1", 28960, "pw"}},
                   "players.sqlite"},
        ConfigCase{"ServersInReverseFileOrder",
                   "[server]\nname=A\n[server]\nname=B\n[server]\nname=C\n",
                   {{"C", "", 0, ""}, {"B", "", 0, ""}, {"A", "", 0, ""}},
                   ""},
        ConfigCase{"CaseOfSectionsAndKeysIgnored",
                   "[SERVER]\nNAME=A\nPort=7\n[DataBase]\nFILE=x\n",
                   {{"A", "", 7, ""}},
                   "x"},
        ConfigCase{"BlankInsideBracketsIsUnknownSection",
                   "[server]\nname=A\n[ server]\nname=B\n[server ]\nport=3\n",
                   {{"B", "", 3, ""}},
                   ""},
        ConfigCase{"EmptyValueAndEmptyKeyIgnored",
                   "[server]\nname=A\nname=\n=B\nname =  \n",
                   {{"A", "", 0, ""}},
                   ""},
        ConfigCase{"ValueKeepsEqualsAndSemicolon",
                   "[server]\nrconpass = a=b ; c \n",
                   {{"", "", 0, "a=b ; c"}},
                   ""},
        ConfigCase{"PortIsTheCConversion",
                   "[server]\nport=123abc\n[server]\nport=abc\n[server]\nport=  -12\n"
                   "[server]\nport=+5\n",
                   {{"", "", 5, ""}, {"", "", -12, ""}, {"", "", 0, ""}, {"", "", 123, ""}},
                   ""},
        ConfigCase{
            "KeysBeforeAnySectionIgnored", "name=X\nfile=y\n[server]\n", {{"", "", 0, ""}}, ""},
        ConfigCase{"UnknownKeyAndLineWithoutEquals",
                   "[server]\nhost=h\njust text\nname=N\n",
                   {{"N", "", 0, ""}},
                   ""},
        ConfigCase{"LastValueAndLastDatabaseWin",
                   "[database]\nfile=a\n[server]\nname=1\nname=2\n[database]\nfile=b\n",
                   {{"2", "", 0, ""}},
                   "b"},
        ConfigCase{"CrLfLinesAndTabs",
                   "[server]\r\n\tname\t=\tTab Name\t\r\nport=9\r\n",
                   {{"Tab Name", "", 9, ""}},
                   ""},
        ConfigCase{
            "CommentOnlyAtLineStart", "[server]\n  ; name=X\nname=Y;Z\n", {{"Y;Z", "", 0, ""}}, ""},
        // A line is read whole: no piece of a long one is a line of its own.
        ConfigCase{"LongLineIsOneLine",
                   "[server]\nmotd=" + std::string(100, 'm') + "port=42\nname=A\n",
                   {{"A", "", 0, ""}},
                   ""},
        // A value longer than its field leaves its server out; the database
        // value holds 1,000 characters.
        ConfigCase{"ValuesNeverCut",
                   "[server]\naddress=" + std::string(60, 'a') +
                       "\n[server]\nname=Kept\n[database]\nfile=" + k100 + "\n",
                   {{"Kept", "", 0, ""}},
                   k100},
        ConfigCase{"UnknownSectionKeepsPreviousBlock",
                   "[server]\n[other]\nname=Kept\n",
                   {{"Kept", "", 0, ""}},
                   ""}),
    [](const testing::TestParamInfo<ConfigCase>& info) { return info.param.name; });

TEST(ConfigLoad, MissingFileFailsAndLeavesNothing) {
    AppConfig config;
    config.path = "/nonexistent/quarvel.cfg";
    EXPECT_FALSE(config.Load());
    EXPECT_TRUE(config.servers.empty());
    EXPECT_TRUE(config.databasePath.empty());
}

TEST(ConfigLoad, LoadAgainStartsANewServerList) {
    TempFile file("[server]\nname=A\n", ".cfg");
    AppConfig config;
    config.path = file.path();
    config.Load();
    config.Load();
    EXPECT_EQ(std::distance(config.servers.begin(), config.servers.end()), 1);
}

TEST(ConfigLoad, DatabaseLocationIsRelativeToTheConfigurationFolder) {
    AppConfig config;
    config.path = "/etc/quarvel/quarvel.cfg";
    config.databasePath = "players.sqlite";
    EXPECT_EQ(config.DatabaseLocation(), "/etc/quarvel/players.sqlite");
    config.databasePath = "/var/db/p.sqlite";
    EXPECT_EQ(config.DatabaseLocation(), "/var/db/p.sqlite");
    config.databasePath = "postgresql://admin@db/quarvel";
    EXPECT_EQ(config.DatabaseLocation(), "postgresql://admin@db/quarvel");
    config.databasePath = "";
    EXPECT_EQ(config.DatabaseLocation(), "");
}

} // namespace
