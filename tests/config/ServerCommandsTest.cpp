#include "ServerCommands.h"

#include <gtest/gtest.h>

namespace {

struct ExpansionCase {
    const char* name;
    std::string templateText;
    CommandValues values;
    std::string command; // empty when the expansion fails
    std::string error;
};

void PrintTo(const ExpansionCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandExpansion : public testing::TestWithParam<ExpansionCase> {};

TEST_P(CommandExpansion, FillsThePlaceholders) {
    const ExpansionCase& c = GetParam();
    const ExpandedCommand expanded = ExpandServerCommand(c.templateText, c.values);
    EXPECT_EQ(expanded.command, c.command);
    EXPECT_EQ(expanded.error, c.error);
    EXPECT_EQ(expanded.ok(), c.error.empty());
}

const ServerCommands kDefaults;

INSTANTIATE_TEST_SUITE_P(
    Templates, CommandExpansion,
    testing::Values(
        ExpansionCase{"Kick", kDefaults.kick, {.slot = 3}, "clientkick 3", ""},
        ExpansionCase{"TempKickCountsPunkBusterSlotsFromOne",
                      kDefaults.tempkick,
                      {.slot = 0, .minutes = 10, .reason = "camping"},
                      "pb_sv_kick 1 10 \"camping\"",
                      ""},
        ExpansionCase{"ReasonCannotEndItsQuotes",
                      kDefaults.tempkick,
                      {.slot = 7, .minutes = 1, .reason = "a \"b\"\n; quit\x7f"},
                      "pb_sv_kick 8 1 \"a 'b'; quit\"",
                      ""},
        ExpansionCase{"Say", kDefaults.say, {.text = "hello all"}, "say hello all", ""},
        ExpansionCase{"FilledValuesAreNotReadAgain",
                      "say {text}",
                      {.slot = 1, .text = "{slot} {{text}}"},
                      "say {slot} {{text}}",
                      ""},
        ExpansionCase{"Userinfo", kDefaults.userinfo, {.slot = 12}, "dumpuser 12", ""},
        ExpansionCase{"BracesOpeningNoPlaceholderArePlainText",
                      "say {} {a b} {slot",
                      {},
                      "say {} {a b} {slot",
                      ""},
        ExpansionCase{"MissingValue",
                      kDefaults.tempkick,
                      {.slot = 1, .reason = "r"},
                      "",
                      "The command needs a value for {minutes}."},
        ExpansionCase{"UnknownPlaceholder",
                      "kick {player}",
                      {.slot = 1},
                      "",
                      "The command holds an unknown placeholder {player}."},
        ExpansionCase{
            "NegativeSlot", kDefaults.kick, {.slot = -1}, "", "A slot number cannot be negative."},
        ExpansionCase{"NoMinutes",
                      kDefaults.tempkick,
                      {.slot = 1, .minutes = 0, .reason = ""},
                      "",
                      "A temporary kick lasts one minute or more."},
        ExpansionCase{"LastSlotNumber", "{pbslot}", {.slot = 2147483647}, "2147483648", ""}),
    [](const testing::TestParamInfo<ExpansionCase>& info) { return info.param.name; });

TEST(CommandTemplates, DefaultsAreTheirOwnKeysValues) {
    for (const ServerCommand command : kServerCommands) {
        EXPECT_EQ(CheckCommandTemplate(command, DefaultCommandTemplate(command)), "");
        EXPECT_EQ(ServerCommandOfKey(ServerCommandKey(command)), command);
        EXPECT_EQ(kDefaults.Template(command), DefaultCommandTemplate(command));
    }
    EXPECT_EQ(ServerCommandOfKey("TEMPKICK"), ServerCommand::TempKick);
    EXPECT_EQ(ServerCommandOfKey("name"), std::nullopt);
}

TEST(CommandTemplates, TakeOnlyWhatTheirCommandFills) {
    EXPECT_EQ(CheckCommandTemplate(ServerCommand::Kick, "kick {pbslot} \"{reason}\""), "");
    EXPECT_EQ(CheckCommandTemplate(ServerCommand::Kick, "kick {minutes}"),
              "\"kick\" takes only the placeholders {slot}, {pbslot}, {reason}, not {minutes}");
    EXPECT_EQ(CheckCommandTemplate(ServerCommand::Userinfo, "dumpuser {text}"),
              "\"userinfo\" takes only the placeholders {slot}, {pbslot}, not {text}");
    EXPECT_EQ(CheckCommandTemplate(ServerCommand::Say, "say\r{text}"),
              "\"say\" holds a control character");
    EXPECT_EQ(CheckCommandTemplate(ServerCommand::TempKick, std::string(201, 'x')),
              "the value of \"tempkick\" is longer than 200 characters");
}

} // namespace
