// Where a colour code may begin inside a match: the code starts are built only
// for the forms they are sound for, one of them finds the first code or caret
// hidden inside a match wherever it lies, none finds a caret no start of a
// match comes before, and each knows what the match may go on with.
#include "ScanPattern.h"

#include <boost/regex.hpp>
#include <gtest/gtest.h>

namespace {

struct CodeStartCase {
    const char* text;
    bool regExp;
    bool caseSensitive;
    // What the match may go on with after each start's code, in order.
    std::vector<std::string> next;
    // Bytes with a code inside a match: some start must find them.
    std::vector<const char*> found;
    // Bytes with no start of a match before a caret: none may find them.
    std::vector<const char*> notFound;
};

std::string BytesOf(const std::bitset<256>& set) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        if (set[static_cast<std::size_t>(b)]) {
            bytes += static_cast<char>(b);
        }
    }
    return bytes;
}

class CodeStarts : public testing::TestWithParam<CodeStartCase> {};

TEST_P(CodeStarts, FindTheFirstCodeInsideAMatch) {
    const CodeStartCase& c = GetParam();
    const auto patterns = TranslateForScan(c.text, c.regExp, c.caseSensitive);
    ASSERT_TRUE(patterns.has_value());
    ASSERT_TRUE(patterns->codeStarts.has_value()) << c.text;
    std::vector<std::string> next;
    std::vector<boost::regex> starts;
    for (const CodeStart& start : *patterns->codeStarts) {
        next.push_back(BytesOf(start.next));
        starts.emplace_back(start.pattern, boost::regex::perl);
    }
    EXPECT_EQ(next, c.next) << c.text;
    const auto anyFinds = [&starts](const char* line) {
        return std::any_of(starts.begin(), starts.end(), [line](const boost::regex& start) {
            return boost::regex_search(line, start);
        });
    };
    for (const char* line : c.found) {
        EXPECT_TRUE(anyFinds(line)) << c.text << " in " << line;
    }
    for (const char* line : c.notFound) {
        EXPECT_FALSE(anyFinds(line)) << c.text << " in " << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CodeStarts,
    testing::Values(
        CodeStartCase{"Viper",
                      false,
                      true,
                      {"i", "p", "e", "r"},
                      {"say: V^1iper: x", "Vip^7er", "Vipe^^r", "V^^1iper"},
                      {"Viper", "^1Viper", "Viper^1", "vi^per", "x^V"}},
        CodeStartCase{"vip", false, false, {"Ii", "Pp"}, {"VI^7P", "v^I"}, {"VIP", "p^v"}},
        CodeStartCase{
            "105.1", false, true, {"0", "5", ".", "1"}, {"10^15.1", "105.^11"}, {"^1051"}},
        // A repeat cut anywhere, and the pieces after the whole of it.
        CodeStartCase{"M[0-9]+_",
                      true,
                      true,
                      {"0123456789", "0123456789_"},
                      {"M^1", "M1^2", "M12^7_"},
                      {"_^", "x1^"}},
        CodeStartCase{"a{2,3}b", true, true, {"ab"}, {"a^1a", "aa^ab", "aaa^b"}, {"b^a"}},
        // A piece that may be left out: what comes after the codes may be
        // the piece after it.
        CodeStartCase{"x?yz", true, true, {"y", "z"}, {"y^z", "x^y", "xy^z"}, {"z^y"}},
        CodeStartCase{"ab|c+", true, true, {"b", "c"}, {"a^b", "c^c"}, {"b^"}},
        // One byte: no code can lie inside a match, and nothing is looked for.
        CodeStartCase{"o", false, true, {}, {}, {}}));

// Forms left to the tolerant pattern: a piece that takes a caret, a group, a
// piece repeated at most zero times, an empty alternative.
TEST(CodeStarts, AreNotBuiltForFormsTheyCannotVouchFor) {
    for (const char* text : {"a.b", "a[^x]", "a\\W", "(ab)+", "ab{0}c", "ab|", "a\\^b"}) {
        const auto patterns = TranslateForScan(text, true, true);
        ASSERT_TRUE(patterns.has_value()) << text;
        EXPECT_FALSE(patterns->codeStarts.has_value()) << text;
    }
    const auto literal = TranslateForScan("a^b", false, true);
    ASSERT_TRUE(literal.has_value());
    EXPECT_FALSE(literal->codeStarts.has_value());
}

} // namespace
