#include "../logmodel/TempFile.h"
#include "AppConfig.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

// Found by argument-dependent lookup: beside the type's namespace.
void PrintTo(const ConfigRefusal& r, std::ostream* os) {
    *os << r.line << ": " << r.text;
}

namespace {

struct RefusalCase {
    const char* name;
    std::string file;
    std::vector<ConfigRefusal> refusals;
    std::vector<std::string> servers; // names, head first
    std::string databasePath;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(ConfigRefusals, AreKeptWithTheirLine) {
    const RefusalCase& c = GetParam();
    TempFile file(c.file, ".cfg");
    AppConfig config;
    config.path = file.path();
    ASSERT_TRUE(config.Load());
    EXPECT_EQ(config.refusals, c.refusals);
    std::vector<std::string> names;
    for (const ServerEntry& server : config.servers) {
        names.push_back(server.name);
    }
    EXPECT_EQ(names, c.servers);
    EXPECT_EQ(config.databasePath, c.databasePath);
}

const std::string kLeftOut = "; the server of this block is left out";
const std::string kNoDatabase = "; no player database is used";
const std::string kUriStart = "postgresql://quarvel@db.example.org/quarvel?application_name=";
const std::string kUri1000 = kUriStart + std::string(1000 - kUriStart.size(), 'a');

INSTANTIATE_TEST_SUITE_P(
    Values, ConfigRefusals,
    testing::Values(
        RefusalCase{"TextsAtTheirLimit",
                    "[server]\nname=" + std::string(39, 'n') + "\nrconpass=" +
                        std::string(39, 'p') + "\naddress=" + std::string(39, 'a') + "\n",
                    {},
                    {std::string(39, 'n')},
                    ""},
        RefusalCase{"NameOverItsField",
                    "[server]\nname=A\n[server]\nname=" + std::string(40, 'n') + "\n",
                    {{4, "the value of \"name\" is longer than 39 characters" + kLeftOut}},
                    {"A"},
                    ""},
        RefusalCase{"PasswordOverItsField",
                    "[server]\nname=B\nrconpass=" + std::string(40, 'p') + "\nport=1\n",
                    {{3, "the value of \"rconpass\" is longer than 39 characters" + kLeftOut}},
                    {},
                    ""},
        RefusalCase{
            "BadAddress",
            "[server]\nname=A\naddress=10.0.0.1:28960\n[server]\nname=B\n"
            "address=::1\n[server]\nname=C\naddress=game.example.org\n",
            {{3, "\"address\" is neither a dotted IPv4 address nor a host name" + kLeftOut},
             {6, "\"address\" is neither a dotted IPv4 address nor a host name" + kLeftOut}},
            {"C"},
            ""},
        RefusalCase{"DatabaseUriOfAThousandCharacters",
                    "[database]\nfile=" + kUri1000 + "\n",
                    {},
                    {},
                    kUri1000},
        RefusalCase{"DatabaseOverItsField",
                    "[database]\nfile=" + kUri1000 + "x\n",
                    {{2, "the value of \"file\" is longer than 1000 characters" + kNoDatabase}},
                    {},
                    ""},
        // The refused value was the one meant: an earlier one is not used instead.
        RefusalCase{"RefusedDatabaseIsNotReplacedByAnEarlierOne",
                    "[database]\nfile=a.sqlite\n[database]\nfile=" + kUri1000 + "x\n",
                    {{4, "the value of \"file\" is longer than 1000 characters" + kNoDatabase}},
                    {},
                    ""},
        RefusalCase{"LineAtTheLimitIsRead",
                    "[server]\nname=A\nmotd=" + std::string(4096 - 5, 'm') + "\n",
                    {},
                    {"A"},
                    ""},
        RefusalCase{"LineOverTheLimit",
                    "x=" + std::string(4095, 'x') + "\n[server]\nname=A\n[server]\nname=B\n" +
                        std::string(5000, ' ') + "\n[database]\nfile=db\n",
                    {{1, "the line is longer than 4096 characters; the line is ignored"},
                     {6, "the line is longer than 4096 characters" + kLeftOut}},
                    {"A"},
                    "db"},
        RefusalCase{"PollOutOfRange",
                    "[server]\nname=A\npoll=3600\n[server]\nname=B\npoll=0\n[server]\nname=C\n"
                    "poll=5s\n",
                    {{6, "\"poll\" takes a whole number of seconds from 1 to 3600" + kLeftOut},
                     {9, "\"poll\" takes a whole number of seconds from 1 to 3600" + kLeftOut}},
                    {"A"},
                    ""},
        RefusalCase{"TemplateWithAPlaceholderItCannotFill",
                    "[server]\nname=A\nsay=say {text} {slot}\n",
                    {{3, "\"say\" takes only the placeholders {text}, not {slot}" + kLeftOut}},
                    {},
                    ""},
        RefusalCase{"TemplateOverItsField",
                    "[server]\nname=A\nkick=" + std::string(201, 'k') + "\n",
                    {{3, "the value of \"kick\" is longer than 200 characters" + kLeftOut}},
                    {},
                    ""},
        // What the old reader ignored silently it still does.
        RefusalCase{"BadLinesStaySilent",
                    "name=X\n[server]\nname=A\njust text\n=v\nk=\nhost=h\n[other]\n",
                    {},
                    {"A"},
                    ""}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST(ConfigRefusalMessages, NameTheFileAndLineAndQuoteNoValue) {
    const std::string password(45, 'S');
    TempFile file("[server]\nname=A\nrconpass=" + password + "\n", ".cfg");
    AppConfig config;
    config.path = file.path();
    config.Load();
    const std::vector<std::string> messages = config.RefusalMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], file.path() + ", line 3: the value of \"rconpass\" is longer than 39 "
                                         "characters; the server of this block is left out.");
    EXPECT_EQ(messages[0].find("SSS"), std::string::npos);
    config.Load();
    EXPECT_EQ(config.RefusalMessages().size(), 1u) << "a new load starts a new list";
}

TEST(ConfigNewKeys, AreReadWithTheirDefaults) {
    TempFile file("[server]\nname=A\n[server]\nname=B\nLOG=games.log\npoll=2\n"
                  "kick=kick {slot} \"{reason}\"\nSay=tell {text}\n",
                  ".cfg");
    AppConfig config;
    config.path = file.path();
    config.Load();
    ASSERT_EQ(std::distance(config.servers.begin(), config.servers.end()), 2);
    const ServerEntry& b = config.servers.front();
    EXPECT_EQ(b.log, "games.log");
    EXPECT_EQ(config.LogLocation(b),
              (std::filesystem::path(file.path()).parent_path() / "games.log").string());
    EXPECT_EQ(b.poll, 2);
    EXPECT_EQ(b.commands.kick, "kick {slot} \"{reason}\"");
    EXPECT_EQ(b.commands.say, "tell {text}");
    EXPECT_EQ(b.commands.tempkick, "pb_sv_kick {pbslot} {minutes} \"{reason}\"");
    const ServerEntry& a = *std::next(config.servers.begin());
    EXPECT_EQ(a.log, "");
    EXPECT_EQ(config.LogLocation(a), "");
    EXPECT_EQ(a.poll, 5);
    EXPECT_EQ(a.commands.kick, "clientkick {slot}");
    EXPECT_EQ(a.commands.say, "say {text}");
    EXPECT_EQ(a.commands.userinfo, "dumpuser {slot}");
}

struct AddressCase {
    const char* text;
    bool taken;
};

class ServerAddress : public testing::TestWithParam<AddressCase> {};

TEST_P(ServerAddress, IsADottedIPv4AddressOrAHostName) {
    EXPECT_EQ(IsServerAddress(GetParam().text), GetParam().taken) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ServerAddress,
    testing::Values(AddressCase{"1.2.3.4", true}, AddressCase{"255.255.255.255", true},
                    AddressCase{"0.0.0.0", true}, AddressCase{"localhost", true},
                    AddressCase{"game-1.example.org", true}, AddressCase{"example.org.", true},
                    AddressCase{"256.1.1.1", false}, AddressCase{"1.2.3", false},
                    AddressCase{"1.2.3.4.5", false}, AddressCase{"010.0.0.1", false},
                    AddressCase{"1.2.3.4:28960", false}, AddressCase{"host:28960", false},
                    AddressCase{"::1", false}, AddressCase{"fe80::1", false},
                    AddressCase{"[::1]", false}, AddressCase{"my host", false},
                    AddressCase{"", false}, AddressCase{".", false}, AddressCase{"a..b", false},
                    AddressCase{"-a.org", false}, AddressCase{"a-.org", false},
                    AddressCase{"under_score.org", false}, AddressCase{"a.b\x01", false}));

} // namespace
