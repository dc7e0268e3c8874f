#include "PlayerSearch.h"

#include <gtest/gtest.h>

// What the find's text is taken to mean, and every text refused with what is
// wrong with it.
namespace {

struct AddressCase {
    const char* text;
    AddressPattern expected;
};

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class AddressPatterns : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressPatterns, CoverTheAddressesTheyName) {
    const PlayerSearchParse parse = ParsePlayerSearch(PlayerSearchMode::Address, GetParam().text);
    ASSERT_TRUE(parse.search) << parse.error;
    EXPECT_EQ(parse.search->mode, PlayerSearchMode::Address);
    const AddressPattern& got = parse.search->address;
    const AddressPattern& want = GetParam().expected;
    EXPECT_EQ(got.text, want.text);
    EXPECT_EQ(got.exact, want.exact);
    EXPECT_EQ(got.partialOctet, want.partialOctet);
    if (want.partialOctet >= 0) {
        EXPECT_EQ(got.low, want.low);
        EXPECT_EQ(got.high, want.high);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AddressPatterns,
    ::testing::Values(AddressCase{"81.2.3.4", {"81.2.3.4", true}},
                      AddressCase{"  81.2.3.4\t", {"81.2.3.4", true}}, // blanks around are dropped
                      AddressCase{"081.002.3.04",
                                  {"81.2.3.4", true}}, // written as the log writes it
                      AddressCase{"0.0.0.0", {"0.0.0.0", true}},
                      AddressCase{"255.255.255.255", {"255.255.255.255", true}},
                      AddressCase{"81.", {"81.", false}}, AddressCase{"81.2.", {"81.2.", false}},
                      AddressCase{"81.2.3.", {"81.2.3.", false}},
                      AddressCase{"0.0.0.0/0", {"", false}},  // every address
                      AddressCase{"81.2.3.4/0", {"", false}}, // host bits are ignored
                      AddressCase{"81.0.0.0/8", {"81.", false}},
                      AddressCase{"81.2.0.0/16", {"81.2.", false}},
                      AddressCase{"81.2.3.0/24", {"81.2.3.", false}},
                      AddressCase{"81.2.3.4/32", {"81.2.3.4", true}},
                      AddressCase{"81.2.16.0/20", {"81.2.", false, 2, 16, 31}},
                      AddressCase{"81.2.31.255/20", {"81.2.", false, 2, 16, 31}},
                      AddressCase{"81.2.3.4/31", {"81.2.3.", false, 3, 4, 5}},
                      AddressCase{"81.2.3.5/31", {"81.2.3.", false, 3, 4, 5}},
                      AddressCase{"200.0.0.0/1", {"", false, 0, 128, 255}},
                      AddressCase{"81.2.3.200/25", {"81.2.3.", false, 3, 128, 255}},
                      AddressCase{"81.130.0.0/9", {"81.", false, 1, 128, 255}}),
    [](const ::testing::TestParamInfo<AddressCase>& info) {
        return "Case" + std::to_string(info.index);
    });

struct RefusedCase {
    const char* name;
    PlayerSearchMode mode;
    std::string text;
    const char* says; // a part of the message
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedTexts : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedTexts, SayWhatIsWrong) {
    const PlayerSearchParse parse = ParsePlayerSearch(GetParam().mode, GetParam().text);
    EXPECT_FALSE(parse.search);
    EXPECT_NE(parse.error.find(GetParam().says), std::string::npos) << parse.error;
}

using Mode = PlayerSearchMode;

INSTANTIATE_TEST_SUITE_P(
    Texts, RefusedTexts,
    ::testing::Values(
        RefusedCase{"EmptyName", Mode::Name, "", "empty"},
        RefusedCase{"OnlyColourCodes", Mode::Name, "^1^2", "colour codes"},
        RefusedCase{"EmptyAddress", Mode::Address, "", "empty"},
        RefusedCase{"BlankAddress", Mode::Address, "   ", "empty"},
        RefusedCase{"ThreeNumbers", Mode::Address, "1.2.3", "\"1.2.3\" is not an address"},
        RefusedCase{"PrefixWithoutTrailingDot", Mode::Address, "81.2", "is not an address"},
        RefusedCase{"OneNumber", Mode::Address, "81", "is not an address"},
        RefusedCase{"FiveNumbers", Mode::Address, "1.2.3.4.5", "is not an address"},
        RefusedCase{"FourNumbersAndADot", Mode::Address, "1.2.3.4.", "prefix ends after"},
        RefusedCase{"OctetTooLarge", Mode::Address, "300.1.1.1",
                    "\"300\" in \"300.1.1.1\" is not a number from 0 to 255"},
        RefusedCase{"OctetOfFourDigits", Mode::Address, "1.2.3.0255", "not a number"},
        RefusedCase{"NotANumber", Mode::Address, "1.2.x.4", "\"x\" in"},
        RefusedCase{"EmptyOctet", Mode::Address, "1..3.4", "is not an address"},
        RefusedCase{"LeadingDot", Mode::Address, ".1.2.", "is not an address"},
        RefusedCase{"OnlyADot", Mode::Address, ".", "is not an address"},
        RefusedCase{"NegativeOctet", Mode::Address, "1.-2.3.4", "not a number"},
        RefusedCase{"NetworkTooLarge", Mode::Address, "1.2.3.4/33", "from 0 to 32"},
        RefusedCase{"NetworkNegative", Mode::Address, "1.2.3.4/-1", "from 0 to 32"},
        RefusedCase{"NetworkEmpty", Mode::Address, "1.2.3.4/", "from 0 to 32"},
        RefusedCase{"NetworkNotANumber", Mode::Address, "1.2.3.4/a", "from 0 to 32"},
        RefusedCase{"NetworkOfAPrefix", Mode::Address, "81.2.0/16", "four numbers"},
        RefusedCase{"NetworkOfABadAddress", Mode::Address, "81.2.0.256/16", "\"256\""},
        RefusedCase{"TwoSlashes", Mode::Address, "1.2.3.4/8/8", "from 0 to 32"},
        RefusedCase{"EmptyGuid", Mode::Guid, "", "empty"},
        RefusedCase{"NonHexGuid", Mode::Guid, "12G4", "\"G\" in \"12G4\" is not a hexadecimal"},
        RefusedCase{"GuidWithInnerBlank", Mode::Guid, "12 34", "is not a hexadecimal"},
        RefusedCase{"GuidTooLong", Mode::Guid, std::string(33, 'a'), "has 33 characters"},
        RefusedCase{"GuidWithPercent", Mode::Guid, "12%", "is not a hexadecimal"}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST(GuidSearch, TakesAnyCaseUpToThirtyTwoDigits) {
    const PlayerSearchParse parse = ParsePlayerSearch(Mode::Guid, " 0aBc ");
    ASSERT_TRUE(parse.search) << parse.error;
    EXPECT_EQ(parse.search->mode, Mode::Guid);
    EXPECT_EQ(parse.search->guidPrefix, "0ABC");
    const std::string whole(32, 'f');
    EXPECT_EQ(ParsePlayerSearch(Mode::Guid, whole).search->guidPrefix, std::string(32, 'F'));
}

TEST(NameSearch, LooksForTheNameWithoutItsColourCodesAndKeepsEverythingElse) {
    for (const auto& [typed, sought] : std::vector<std::pair<std::string, std::string>>{
             {"^1Bo^7b", "Bob"},
             {" O'Neil|x ", " O'Neil|x "}, // blanks are part of names
             {"100%_\\*?[", "100%_\\*?["}, // no character is special here
             {"a^^b", "a^b"},              // two carets show one
             {"J\xF6rg", "J\xF6rg"}}) {    // log bytes stay bytes
        const PlayerSearchParse parse = ParsePlayerSearch(Mode::Name, typed);
        ASSERT_TRUE(parse.search) << typed;
        EXPECT_EQ(parse.search->name, sought);
    }
}

} // namespace
