#include "../logmodel/TempFile.h"
#include "RunQuarvelctl.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Line 0 names a player no slot knows (so the name is shown with its carets)
// and colours a word of its message (whose codes are hidden); line 1 ends in
// CR LF.
const std::string kLog = "   0:56 say: ^1Ma^7mba: stop ^3team^7 killing\n"
                         "   0:58 ClientDisconnect: 5\r\n"
                         "ab\n"
                         "ab ab^^x\n";

struct SearchCase {
    const char* name;
    std::vector<std::string> args;
    std::string out;
    int exitCode;
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << c.name;
}

class SearchCommandTest : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchCommandTest, PrintsHitsAndTheClosingMessage) {
    TempFile log(kLog);
    std::vector<std::string> args = {"search", log.path()};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const CliResult r = RunQuarvelctl(args);
    EXPECT_EQ(r.out, GetParam().out);
    EXPECT_EQ(r.exitCode, GetParam().exitCode) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Search, SearchCommandTest,
    testing::Values(
        SearchCase{"UnknownNameByItsShownText", {"--text", "^1Ma^7mba"}, "0 13 21\n", 0},
        SearchCase{"UnknownNameNotWithoutItsCarets", {"--text", "Mamba"}, "No matches\n", 1},
        SearchCase{"CodedMessageByItsVisibleText", {"--text", "team killing"}, "0 29 40\n", 0},
        SearchCase{"CaseIgnoredByDefault", {"--text", "^1MA^7MBA"}, "0 13 21\n", 0},
        SearchCase{"CaseKept", {"--text", "^1MA^7MBA", "--case"}, "No matches\n", 1},
        SearchCase{"AllHitsThenNoMoreMatches",
                   {"--text", "ab", "--all"},
                   "2 0 1\n3 0 1\n3 3 4\nNo more matches\n",
                   0},
        SearchCase{"CaretsOfPlainText", {"--text", "^x"}, "3 6 7\n", 0},
        SearchCase{"FromTheCaret", {"--text", "ab", "--caret", "3:1"}, "3 3 4\n", 0},
        SearchCase{
            "AnchorAtTheCaret", {"--text", "^ab", "--regex", "--caret", "3:3"}, "3 3 4\n", 0},
        SearchCase{"BackwardsAll",
                   {"--text", "ab", "--backwards", "--caret", "3:4", "--all"},
                   "3 0 1\n2 0 1\nNo more matches\n",
                   0},
        SearchCase{"EmptyMatchStopsWhenItRepeats",
                   {"--text", "x*", "--regex", "--caret", "2:1", "--all"},
                   "2 1 0\n",
                   0},
        SearchCase{
            "BadExpression", {"--text", "(", "--regex"}, "Bad regular expression supplied\n", 2},
        SearchCase{"EmptyText", {"--text", ""}, "Bad regular expression supplied\n", 2},
        // The expression compiler of the regular-expression library never
        // returns from these; they are refused before they reach it.
        SearchCase{"PossessiveThenComment",
                   {"--text", "a++(?#c))", "--regex"},
                   "Bad regular expression supplied\n",
                   2},
        SearchCase{"CountedPossessiveThenComment",
                   {"--text", "a{2}+(?#c))", "--regex"},
                   "Bad regular expression supplied\n",
                   2},
        SearchCase{"OptionalPossessiveThenComment",
                   {"--text", "a?+(?#c)]", "--regex"},
                   "Bad regular expression supplied\n",
                   2}),
    [](const testing::TestParamInfo<SearchCase>& info) { return info.param.name; });

// An expression that backtracks without end, whether the library's own limit
// or the search's budget stops it: the search says why and exits 2, never
// "No matches" with exit 1.
TEST(SearchCommand, AStoppedSearchSaysSoWithExit2) {
    std::string lines;
    for (int i = 0; i < 20; ++i) {
        lines += std::string(24, 'x') + "\n";
    }
    TempFile log(lines);
    std::string runaway = "(x+x+)+y|";
    for (int i = 0; i < 3000; ++i) {
        runaway += "[Q]";
    }
    for (const std::string& expression : {runaway, std::string("(x*)*(x*)*(x*)*[yz]")}) {
        const CliResult r = RunQuarvelctl({"search", log.path(), "--regex", "--text", expression});
        EXPECT_EQ(r.out, "The search was stopped: the expression takes too much work on these "
                         "lines. Please try a simpler one.\n");
        EXPECT_EQ(r.exitCode, 2);
    }
}

struct CopyCase {
    const char* name;
    std::vector<std::string> args;
    std::string out;
};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.name;
}

class CopyCommandTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyCommandTest, WritesTheClipboardBytes) {
    TempFile log(kLog);
    std::vector<std::string> args = {"copy", log.path()};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const CliResult r = RunQuarvelctl(args);
    EXPECT_EQ(r.out, GetParam().out);
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

std::string Document(const std::string& endHtml, const std::string& endFragment,
                     const std::string& body) {
    return "Version:0.9\nStartHTML:00000092\nEndHTML:" + endHtml +
           "\nStartFragment:00000142\nEndFragment:" + endFragment +
           "\n<!DOCTYPE ...>\n<HTML>\n<BODY>\n<!--StartFragment-->\n"
           "<FONT face=\"Courier New\" style=\"background-color : #000000\">" +
           body + "</FONT>\n<!--EndFragment-->\n</BODY>\n</HTML>\n";
}

INSTANTIATE_TEST_SUITE_P(
    Copy, CopyCommandTest,
    testing::Values(
        CopyCase{"TextOfAShownName", {"0:13", "0:21", "--text"}, "^1Ma^7mba"},
        CopyCase{"TextKeepsHiddenCodes", {"0:29", "0:32", "--text"}, "^3team"},
        CopyCase{"TextKeepsLineEnds", {"1:22", "3:1", "--text"}, "ct: 5\r\nab\nab"},
        CopyCase{"TextEndingAtColumnZero", {"1:22", "2:-1", "--text"}, "ct: 5\r\n"},
        CopyCase{"HtmlWorkedExample",
                 {"2:0", "2:1", "--html"},
                 Document("00000278", "00000243", "<FONT color=#c4c4ff>ab</FONT><br>\n")},
        CopyCase{"HtmlEndingAtColumnZero",
                 {"2:0", "3:-1", "--html"},
                 Document("00000283", "00000248", "<FONT color=#c4c4ff>ab</FONT><br>\n<br>\n")},
        CopyCase{"HtmlOfAnUnknownCodedName",
                 {"0:13", "0:21", "--html"},
                 Document("00000342", "00000307",
                          "<B><FONT color=#c000c0></FONT><FONT color=#ff1919>Ma</FONT>"
                          "<FONT color=#ffffff>mba</FONT></B><br>\n")}),
    [](const testing::TestParamInfo<CopyCase>& info) { return info.param.name; });

struct BadCall {
    const char* name;
    std::vector<std::string> args;
};

void PrintTo(const BadCall& c, std::ostream* os) {
    *os << c.name;
}

class SearchAndCopyUsageTest : public testing::TestWithParam<BadCall> {};

TEST_P(SearchAndCopyUsageTest, FailsWithAMessageOnStderr) {
    TempFile log(kLog);
    std::vector<std::string> args = GetParam().args;
    args.insert(args.begin() + 1, log.path());
    const CliResult r = RunQuarvelctl(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.err.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BadCalls, SearchAndCopyUsageTest,
    testing::Values(BadCall{"SearchWithoutText", {"search"}},
                    BadCall{"SearchBadCaret", {"search", "--text", "a", "--caret", "3"}},
                    BadCall{"SearchCaretNotANumber", {"search", "--text", "a", "--caret", "a:1"}},
                    BadCall{"CopyWithoutFormat", {"copy", "0:0", "0:1"}},
                    BadCall{"CopyBothFormats", {"copy", "0:0", "0:1", "--text", "--html"}},
                    BadCall{"CopyLinePastTheLog", {"copy", "0:0", "4:0", "--text"}},
                    BadCall{"CopyEndBeforeStart", {"copy", "2:0", "1:0", "--text"}},
                    BadCall{"CopyBadPosition", {"copy", "0", "1:0", "--text"}}),
    [](const testing::TestParamInfo<BadCall>& info) { return info.param.name; });

} // namespace
