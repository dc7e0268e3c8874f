// The starts-then-caret pattern of a text: built only for the forms it is
// sound for, and finding, in the bytes of a line, the first colour code or
// caret hidden inside a match wherever it lies.
#include "ScanPattern.h"

#include <boost/regex.hpp>
#include <gtest/gtest.h>

namespace {

struct PrefixCase {
    const char* text;
    bool regExp;
    bool caseSensitive;
    // Bytes whose visible text holds a match with codes inside: the pattern
    // must find them. Nothing when no pattern is to be built.
    std::vector<const char*> found;
    // Bytes it must not find (no caret after a start of a match).
    std::vector<const char*> notFound;
};

class PrefixThenCaret : public testing::TestWithParam<PrefixCase> {};

TEST_P(PrefixThenCaret, FindsTheFirstCodeInsideAMatch) {
    const PrefixCase& c = GetParam();
    const auto patterns = TranslateForScan(c.text, c.regExp, c.caseSensitive);
    ASSERT_TRUE(patterns.has_value());
    if (c.found.empty()) {
        EXPECT_EQ(patterns->prefixThenCaret, "") << c.text;
        return;
    }
    ASSERT_NE(patterns->prefixThenCaret, "") << c.text;
    const boost::regex pattern(patterns->prefixThenCaret, boost::regex::perl);
    for (const char* line : c.found) {
        EXPECT_TRUE(boost::regex_search(line, pattern)) << c.text << " in " << line;
    }
    for (const char* line : c.notFound) {
        EXPECT_FALSE(boost::regex_search(line, pattern)) << c.text << " in " << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PrefixThenCaret,
    testing::Values(
        PrefixCase{"Viper",
                   false,
                   true,
                   {"say: V^1iper: x", "Vip^7er", "Vipe^", "Viper^1"},
                   {"Viper", "^1Viper", "V iper^", "vi^per"}},
        PrefixCase{"viper", false, false, {"VI^7PER", "vIpE^^r"}, {"VIPER", "iper^", "vx^"}},
        PrefixCase{"105.1", false, true, {"10^15.1", "105.^1"}, {"1051", "^1051", "15^"}},
        // A repeat cut anywhere, and the rest after the whole of it.
        PrefixCase{"MOD_M[0-9]+_",
                   true,
                   true,
                   {"MOD_M1^2_", "MOD_M12^7_", "MO^D", "MOD_M9_^"},
                   {"OD_^", "MOD_MX^"}},
        PrefixCase{"a{2,3}b", true, true, {"a^", "aa^ab", "aaa^b", "aab^"}, {"b^", "xb^"}},
        PrefixCase{"x?yz", true, true, {"y^z", "x^yz", "xy^z"}, {"z^", "xz^"}},
        PrefixCase{"rush B|need ammo", true, true, {"ru^1sh B", "need ^2ammo"}, {"B^", "ammo^"}},
        PrefixCase{"\\d\\s\\w", true, true, {"1^ a", "1 ^a"}, {"a^"}},
        // Forms left to the tolerant pattern: a piece that takes a caret, a
        // group, a piece repeated at most zero times, an empty alternative.
        PrefixCase{"a^b", false, true, {}, {}}, PrefixCase{"a.b", true, true, {}, {}},
        PrefixCase{"a[^x]", true, true, {}, {}}, PrefixCase{"a\\W", true, true, {}, {}},
        PrefixCase{"(ab)+", true, true, {}, {}}, PrefixCase{"ab{0}c", true, true, {}, {}},
        PrefixCase{"ab|", true, true, {}, {}}));

} // namespace
