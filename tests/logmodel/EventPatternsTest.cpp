#include "EventPatterns.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

struct PatternCase {
    const char* name;
    std::string payload;
    bool connection;
    bool userInfo;
    bool kill;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << c.name;
}

class Patterns : public testing::TestWithParam<PatternCase> {};

TEST_P(Patterns, MatchTheWholePayload) {
    const PatternCase& c = GetParam();
    const EventPatterns patterns;
    boost::cmatch groups;
    EXPECT_EQ(patterns.MatchConnection(c.payload, groups), c.connection);
    EXPECT_EQ(patterns.MatchUserInfo(c.payload, groups), c.userInfo);
    EXPECT_EQ(patterns.MatchKill(c.payload, groups), c.kill);
}

const std::string kGuid = "0123456789ABCDEF0123456789ABCDEF";

INSTANTIATE_TEST_SUITE_P(
    Payloads, Patterns,
    testing::Values(
        PatternCase{"Connection", "3 - 1.2.3.4:5 [" + kGuid + "]", true, false, false},
        PatternCase{"ConnectionWithTail", "3 - a:b [" + kGuid + "] c", true, false, false},
        PatternCase{"ConnectionGuidTooLong", "3 - a:b [" + kGuid + "0]", false, false, false},
        PatternCase{"ConnectionLeadingBlank", " 3 - a:b [" + kGuid + "]", false, false, false},
        PatternCase{"ConnectionEmptyPort", "3 - a: [" + kGuid + "]", false, false, false},
        PatternCase{"ConnectionSecondGuidMatches", "3 - a:b [xyz] [" + kGuid + "]", true, false,
                    false},
        PatternCase{"UserInfo", R"(1 n\a\t\1\)", false, true, false},
        PatternCase{"UserInfoEmptyName", R"(1 n\\t\1\x)", false, true, false},
        PatternCase{"UserInfoTwoDigitTeam", R"(1 n\a\t\12\)", false, false, false},
        PatternCase{"Kill", "1 2 3: a killed b by c", false, false, true},
        PatternCase{"KillEmptyNames", "1 2 3:  killed  by ", false, false, true},
        PatternCase{"KillSharedBlank", "1 2 3: a killed by c", false, false, false},
        PatternCase{"KillTwoBlanks", "1  2 3: a killed b by c", false, false, false},
        PatternCase{"Empty", "", false, false, false}),
    [](const testing::TestParamInfo<PatternCase>& info) { return info.param.name; });

TEST(Patterns, GroupsAreReadFromTheMatch) {
    const EventPatterns patterns;
    boost::cmatch groups;
    const std::string payload = "12 - 10.0.0.1:27960 [" + kGuid + "] extra";
    ASSERT_TRUE(patterns.MatchConnection(payload, groups));
    EXPECT_EQ(GroupText(groups, 1), "12");
    EXPECT_EQ(GroupText(groups, 2), "10.0.0.1");
    EXPECT_EQ(GroupText(groups, 3), kGuid);
}

TEST(ReadDecimal, ReadsDigitsAndHoldsHugeNumbersAtTheCap) {
    EXPECT_EQ(ReadDecimal("0"), 0);
    EXPECT_EQ(ReadDecimal("0063"), 63);
    EXPECT_EQ(ReadDecimal("1022"), 1022);
    EXPECT_EQ(ReadDecimal("99999999999999999999999999"), 1'000'000'000);
    EXPECT_EQ(ReadDecimal("12x4"), 12);
}

// Mutations of matching payloads: the pre-checks must never turn away a
// payload that the pattern itself would match.
std::string Mutate(std::string text, std::mt19937& random) {
    static const std::string alphabet = R"(0123456789AF afz:-[]\tn^)";
    std::uniform_int_distribution<int> edits(1, 4);
    std::uniform_int_distribution<int> kind(0, 2);
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
    for (int e = edits(random); e > 0; --e) {
        std::uniform_int_distribution<std::size_t> where(0, text.size());
        const std::size_t at = where(random);
        const char c = alphabet[letter(random)];
        switch (kind(random)) {
        case 0:
            text.insert(at, 1, c);
            break;
        case 1:
            if (at < text.size()) {
                text.erase(at, 1);
            }
            break;
        default:
            if (at < text.size()) {
                text[at] = c;
            }
        }
    }
    return text;
}

TEST(PreChecks, NeverRejectWhatThePatternMatches) {
    const EventPatterns patterns;
    const std::vector<std::string> seeds = {
        "3 - 1.2.3.4:5 [" + kGuid + "]",
        "3 - a:b:c [" + kGuid + "] [" + kGuid + "]x",
        R"(1 n\a\t\1\)",
        R"(12 n\^1a\t\2\b\t\3\model\x\t\0\)",
        "1 2 3: a killed b by c",
        "1022 0 22: a killed b killed c by d by e",
    };
    std::mt19937 random(7);
    int matched = 0;
    for (int i = 0; i < 60000; ++i) {
        const std::string payload =
            Mutate(seeds[static_cast<std::size_t>(i) % seeds.size()], random);
        const char* begin = payload.data();
        const char* end = begin + payload.size();
        if (boost::regex_match(begin, end, patterns.connectionPattern())) {
            ++matched;
            ASSERT_TRUE(EventPatterns::MayBeConnection(payload)) << payload;
        }
        if (boost::regex_match(begin, end, patterns.userInfoPattern())) {
            ++matched;
            ASSERT_TRUE(EventPatterns::MayBeUserInfo(payload)) << payload;
        }
        if (boost::regex_match(begin, end, patterns.killPattern())) {
            ++matched;
            ASSERT_TRUE(EventPatterns::MayBeKill(payload)) << payload;
        }
    }
    EXPECT_GT(matched, 5000); // the mutations kept plenty of matching payloads
}

} // namespace
