#include "LiteralFinder.h"
#include "RareByteFilter.h"
#include "RequiredLiteral.h"

#include <algorithm>
#include <boost/regex.hpp>
#include <gtest/gtest.h>
#include <ostream>
#include <random>
#include <string>

namespace {

struct LiteralCase {
    const char* name;
    std::string expression;
    std::string literal;
};

void PrintTo(const LiteralCase& c, std::ostream* os) {
    *os << c.name;
}

class RequiredLiteralTest : public testing::TestWithParam<LiteralCase> {};

TEST_P(RequiredLiteralTest, NamesOnlyWhatEveryMatchHolds) {
    EXPECT_EQ(RequiredLiteral(GetParam().expression), GetParam().literal);
}

INSTANTIATE_TEST_SUITE_P(
    Literals, RequiredLiteralTest,
    testing::Values(LiteralCase{"Plain", "ClientConnect", "ClientConnect"},
                    LiteralCase{"LongestStretch", "^ *Kill: [0-9]+ killed", " killed"},
                    LiteralCase{"StarDropsItsCharacter", "abcd*ef", "abc"},
                    LiteralCase{"QuestionDropsItsCharacter", "abc?", "ab"},
                    LiteralCase{"PlusKeepsItsCharacter", "abc+d", "abc"},
                    LiteralCase{"EscapedPunctuation", "1\\.2\\.3", "1.2.3"},
                    LiteralCase{"GroupsAreSkipped", "x(abcdef)*yz", "yz"},
                    LiteralCase{"NestedGroups", "((abcdef)?g)+hi", "hi"},
                    LiteralCase{"ClassesAreSkipped", "[abcdef]xy", "xy"},
                    LiteralCase{"ClassWithBracketAndNamedSet", "[]x[:alpha:]]+yz", "yz"},
                    LiteralCase{"SimpleEscapesEndAStretch", "ab\\d+cde\\bf", "cde"},
                    LiteralCase{"WordEdges", "\\<word\\>", "word"},
                    LiteralCase{"AlternationGivesUp", "abc|d", ""},
                    LiteralCase{"AlternationInAGroupKeepsTheRest", "abc(d|e)", "abc"},
                    LiteralCase{"AlternationInNestedGroups", "x((a|b)|c)yz", "yz"},
                    LiteralCase{"InlineOptionsGiveUp", "(?i)abc", ""},
                    LiteralCase{"LookAheadGivesUp", "abc(?=d)", ""},
                    LiteralCase{"VerbsGiveUp", "a(*ACCEPT)bcd", ""},
                    LiteralCase{"CountedRepeatGivesUp", "ab{2}cd", ""},
                    LiteralCase{"QuotingGivesUp", "\\Qa.b\\E", ""},
                    LiteralCase{"HexEscapeGivesUp", "\\x41BC", ""},
                    LiteralCase{"ControlEscapeGivesUp", "\\cXYZ", ""},
                    LiteralCase{"BackReferenceGivesUp", "(a)\\1bc", ""},
                    LiteralCase{"UnbalancedGivesUp", "ab)c", ""},
                    LiteralCase{"UnterminatedClassGivesUp", "ab[cd", ""},
                    LiteralCase{"NothingLiteral", ".*", ""}),
    [](const testing::TestParamInfo<LiteralCase>& info) { return info.param.name; });

// The bytes every match holds, sorted, of expressions with alternatives at
// their top: those that every alternative's text holds.
class CommonBytesTest : public testing::TestWithParam<LiteralCase> {};

TEST_P(CommonBytesTest, AreHeldByEveryAlternative) {
    std::string bytes = FindRequiredText(GetParam().expression).everyByte;
    std::sort(bytes.begin(), bytes.end());
    bytes.erase(std::unique(bytes.begin(), bytes.end()), bytes.end());
    EXPECT_EQ(bytes, GetParam().literal);
    EXPECT_EQ(FindRequiredText(GetParam().expression).longest.empty(),
              std::string_view(GetParam().expression).find('|') != std::string_view::npos ||
                  bytes.empty());
}

INSTANTIATE_TEST_SUITE_P(Alternatives, CommonBytesTest,
                         testing::Values(LiteralCase{"SharedLetters", "Needle43|Needle42", "4Ndel"},
                                         LiteralCase{"NothingShared", "Kill|say", ""},
                                         LiteralCase{"OneAlternativeWithoutText", "abc|.*", ""},
                                         LiteralCase{"EmptyAlternative", "abc|", ""},
                                         LiteralCase{"BarInAClassDoesNotCut", "a[|]b|ab", "ab"},
                                         LiteralCase{"EscapedBarDoesNotCut", "a\\|b|ab", "ab"},
                                         LiteralCase{"BarInAGroupDoesNotCut", "x(a|b)y|xz", "x"},
                                         LiteralCase{"ThreeAlternatives", "kill|skilled|ill", "il"},
                                         LiteralCase{"UnterminatedClassGivesUp", "ab|[cd", ""}),
                         [](const testing::TestParamInfo<LiteralCase>& info) {
                             return info.param.name;
                         });

struct FinderCase {
    const char* name;
    std::string literal;
    bool foldCase;
    std::string text;
    std::size_t at;
};

void PrintTo(const FinderCase& c, std::ostream* os) {
    *os << c.name;
}

ByteFold AsciiFold() {
    ByteFold fold = IdentityFold();
    for (int c = 'A'; c <= 'Z'; ++c) {
        fold[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 'A' + 'a');
    }
    return fold;
}

class LiteralFinderTest : public testing::TestWithParam<FinderCase> {};

TEST_P(LiteralFinderTest, FindsTheFirstOccurrence) {
    const FinderCase& c = GetParam();
    const LiteralFinder finder(c.literal, c.foldCase ? AsciiFold() : IdentityFold());
    EXPECT_EQ(finder.Find(c.text), c.at);
}

constexpr auto npos = std::string_view::npos;

INSTANTIATE_TEST_SUITE_P(
    Finder, LiteralFinderTest,
    testing::Values(FinderCase{"One", "b", false, "aab", 2},
                    FinderCase{"OneMissing", "c", false, "aab", npos},
                    FinderCase{"Prefix", "aab", false, "aaab", 1},
                    FinderCase{"AtTheEnd", "xyz", false, "abcxyz", 3},
                    FinderCase{"AtTheStart", "abc", false, "abcxyz", 0},
                    FinderCase{"Longer", "abcdefg", false, "abc", npos},
                    FinderCase{"Case", "Bob", false, "bob BOB Bob", 8},
                    FinderCase{"FoldedCase", "Bob", true, "xx bOB", 3},
                    FinderCase{"FoldedOne", "K", true, "xxk", 2},
                    FinderCase{"HighBytes", "\xe9t\xe9", false, "\xe9t \xe9t\xe9", 3},
                    FinderCase{"RepeatedBytes", "abab", false, "abaababab", 3}),
    [](const testing::TestParamInfo<FinderCase>& info) { return info.param.name; });

// Whatever the engine matches contains the literal named for its expression:
// random expressions over a small alphabet against random texts.
TEST(QuickLook, NeverRulesOutAMatch) {
    std::mt19937 random(12345);
    const std::string atoms[] = {"a",    "b",   "B",  "ab",    "\\.", ".",     "(ab)",
                                 "[ab]", "a*",  "b+", "B?",    "\\d", "(a|b)", "^",
                                 "$",    "\\b", "x",  "(?:a)", "[^a]"};
    const std::string letters = "abBx.1 ";
    int checked = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string expression;
        const int atomCount = 1 + static_cast<int>(random() % 5);
        for (int i = 0; i < atomCount; ++i) {
            expression += atoms[random() % std::size(atoms)];
        }
        const bool ignoreCase = random() % 2 == 0;
        const std::string literal = RequiredLiteral(expression);
        if (literal.empty()) {
            continue;
        }
        boost::regex::flag_type flags = boost::regex::normal;
        if (ignoreCase) {
            flags |= boost::regex::icase;
        }
        const boost::regex re(expression, flags);
        const ByteFold fold = ignoreCase ? AsciiFold() : IdentityFold();
        const LiteralFinder finder(literal, fold);
        const std::string everyByte = FindRequiredText(expression).everyByte;
        for (int t = 0; t < 20; ++t) {
            std::string text;
            const int length = static_cast<int>(random() % 12);
            for (int i = 0; i < length; ++i) {
                text += letters[random() % letters.size()];
            }
            boost::smatch match;
            if (boost::regex_search(text, match, re)) {
                ++checked;
                EXPECT_TRUE(finder.OccursIn(match.str(0)))
                    << "expression " << expression << " literal " << literal << " text " << text;
                for (char b : everyByte) {
                    EXPECT_TRUE(LiteralFinder(std::string(1, b), fold).OccursIn(match.str(0)))
                        << "expression " << expression << " byte " << b << " text " << text;
                }
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

} // namespace

namespace {

TEST(RequiredText, KeepsEveryStretch) {
    const RequiredText required = FindRequiredText("Needle[0-9]+ was(x|y)z*q");
    EXPECT_EQ(required.longest, "Needle");
    EXPECT_EQ(required.everyByte, "Needle wasq");
    EXPECT_EQ(FindRequiredText("a|b").everyByte, "");
}

TEST(RareByteFilter, TakesTheByteTheSampleHoldsLeast) {
    const RareByteFilter filter("Needle was", IdentityFold(),
                                "NPC_Taylor NPC_Sam was here we were");
    EXPECT_EQ(filter.bytes(), "d");
}

TEST(RareByteFilter, RulesOutBytesWithoutTheRareOne) {
    const RareByteFilter exact("Quarvel", IdentityFold());
    EXPECT_EQ(exact.bytes(), "Q");
    EXPECT_FALSE(exact.MayHold("uarvel quarvel"));
    EXPECT_TRUE(exact.MayHold("Q"));
    EXPECT_FALSE(exact.MayHold(""));

    const RareByteFilter folded("Quarvel", AsciiFold());
    EXPECT_EQ(folded.bytes(), "Qq");
    EXPECT_TRUE(folded.MayHold("xq"));
    EXPECT_FALSE(folded.MayHold("uarvel"));
}

TEST(ForwardByteScan, FindsEachNextPlace) {
    const std::string text = "aaQaaqaQ";
    const RareByteFilter folded("q", AsciiFold());
    ForwardByteScan scan(folded, text.data() + text.size());
    const char* base = text.data();
    EXPECT_EQ(scan.Next(base), base + 2);
    EXPECT_EQ(scan.Next(base + 2), base + 2);
    EXPECT_EQ(scan.Next(base + 3), base + 5);
    EXPECT_EQ(scan.Next(base + 6), base + 7);
    EXPECT_EQ(scan.Next(base + 8), nullptr);
}

} // namespace
