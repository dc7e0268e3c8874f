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
    PatternGroups groups;
    EXPECT_EQ(EventPatterns::MatchConnection(c.payload, groups), c.connection);
    EXPECT_EQ(EventPatterns::MatchUserInfo(c.payload, groups), c.userInfo);
    EXPECT_EQ(EventPatterns::MatchKill(c.payload, groups), c.kill);
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
    PatternGroups groups;
    const std::string payload = "12 - 10.0.0.1:27960 [" + kGuid + "] extra";
    ASSERT_TRUE(EventPatterns::MatchConnection(payload, groups));
    EXPECT_EQ(groups[1], "12");
    EXPECT_EQ(groups[2], "10.0.0.1");
    EXPECT_EQ(groups[3], kGuid);
}

TEST(ReadDecimal, ReadsDigitsAndHoldsHugeNumbersAtTheCap) {
    EXPECT_EQ(ReadDecimal("0"), 0);
    EXPECT_EQ(ReadDecimal("0063"), 63);
    EXPECT_EQ(ReadDecimal("1022"), 1022);
    EXPECT_EQ(ReadDecimal("99999999999999999999999999"), 1'000'000'000);
    EXPECT_EQ(ReadDecimal("12x4"), 12);
}

// The matches against Boost.Regex, the reference: for every payload, the
// same answer and, on a match, the same bytes in every group.
using Matcher = bool (*)(std::string_view, PatternGroups&);

::testing::AssertionResult SameAsTheReference(const boost::regex& pattern, Matcher match,
                                              int groupCount, const std::string& payload) {
    boost::cmatch expected;
    const bool reference =
        boost::regex_match(payload.data(), payload.data() + payload.size(), expected, pattern);
    PatternGroups groups;
    if (match(payload, groups) != reference) {
        return ::testing::AssertionFailure() << "matched " << !reference << ": " << payload;
    }
    for (int g = 1; reference && g <= groupCount; ++g) {
        // Same bytes and the same place in the payload.
        if (groups[g].data() != expected[g].first || groups[g] != GroupText(expected, g)) {
            return ::testing::AssertionFailure()
                   << "group " << g << " \"" << groups[g] << "\" instead of \""
                   << GroupText(expected, g) << "\": " << payload;
        }
    }
    return ::testing::AssertionSuccess();
}

// Payloads made of the pieces the patterns look for, in any order and
// number, between runs of other bytes (blanks, carets, CR, high bytes, NUL).
std::string RandomPayload(std::mt19937& random) {
    static const std::vector<std::string> pieces = {"0",
                                                    "12",
                                                    "63",
                                                    "1022",
                                                    " ",
                                                    " - ",
                                                    ":",
                                                    "::",
                                                    " [",
                                                    "]",
                                                    "0123456789ABCDEF",
                                                    "abcdef",
                                                    "0123456789ABCDEF0123456789ABCDEF",
                                                    " killed ",
                                                    " killed",
                                                    "killed ",
                                                    " by ",
                                                    " by",
                                                    "by ",
                                                    " n\\",
                                                    "\\t\\",
                                                    "\\",
                                                    "t",
                                                    "n",
                                                    "1",
                                                    "9",
                                                    ": ",
                                                    "^1",
                                                    "\r",
                                                    "\xe9\xff",
                                                    std::string(1, '\0'),
                                                    "x",
                                                    "  ",
                                                    std::string(20, 'k'),
                                                    std::string(40, ' ')};
    std::uniform_int_distribution<std::size_t> count(0, 12);
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
    std::string payload;
    for (std::size_t n = count(random); n > 0; --n) {
        payload += pieces[piece(random)];
    }
    return payload;
}

// Matching payloads with a few bytes inserted, removed or changed.
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

TEST(Patterns, EveryMatchIsTheReferenceMatch) {
    const EventPatterns patterns;
    const std::vector<std::string> seeds = {
        "3 - 1.2.3.4:5 [" + kGuid + "]",
        "3 - a:b:c [" + kGuid + "] [" + kGuid + "]x",
        "3 - a: [" + kGuid + "]:x [" + kGuid + "]",
        R"(1 n\a\t\1\)",
        R"(12 n\^1a\t\2\b\t\3\model\x\t\0\)",
        R"(1 n\a\t\1\t\2\)",
        "1 2 3: a killed b by c",
        "1022 0 22: a killed b killed c by d by e",
        "1 2 3: a killed by b killed c by d",
    };
    std::mt19937 random(7);
    int matched = 0;
    for (int i = 0; i < 1000000; ++i) {
        const std::string payload =
            i % 2 == 0 ? Mutate(seeds[static_cast<std::size_t>(i / 2) % seeds.size()], random)
                       : RandomPayload(random);
        ASSERT_TRUE(SameAsTheReference(patterns.connectionPattern(), EventPatterns::MatchConnection,
                                       3, payload));
        ASSERT_TRUE(SameAsTheReference(patterns.userInfoPattern(), EventPatterns::MatchUserInfo, 3,
                                       payload));
        ASSERT_TRUE(
            SameAsTheReference(patterns.killPattern(), EventPatterns::MatchKill, 6, payload));
        PatternGroups groups;
        matched += EventPatterns::MatchConnection(payload, groups) ? 1 : 0;
        matched += EventPatterns::MatchUserInfo(payload, groups) ? 1 : 0;
        matched += EventPatterns::MatchKill(payload, groups) ? 1 : 0;
    }
    EXPECT_GT(matched, 10000); // plenty of the payloads match
}

} // namespace
