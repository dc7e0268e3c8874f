#include "LogSearch.h"

#include "ClassifiedLog.h"
#include "ColourCodes.h"
#include "HandLog.h"
#include "MessageRecorder.h"
#include "ModelLines.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>

// Found by argument lookup, so beside the type.
inline void PrintTo(const TextPosition& p, std::ostream* os) {
    *os << "(" << p.line << ", " << p.column << ")";
}

inline void PrintTo(const SearchHit& h, std::ostream* os) {
    *os << "(" << h.line << ", " << h.firstColumn << ".." << h.lastColumn << ")";
}

namespace {

const Message kNoMatches{"No matches", "Quarvel", MessageIcon::None};
const Message kNoMoreMatches{"No more matches", "Quarvel", MessageIcon::None};
const Message kBadExpression{"Bad regular expression supplied", "Error", MessageIcon::Error};
const Message kSearchError{"Search error", "Error", MessageIcon::Error};
const Message kTooMuchWork{"The search was stopped: the expression takes too much work on these "
                           "lines. Please try a simpler one.",
                           "Error", MessageIcon::Error};

struct FindCase {
    const char* name;
    std::string log;
    std::string text;
    SearchOptions options;
    TextPosition caret;
    std::optional<SearchHit> hit;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr SearchOptions kPlain{false, false, false};
constexpr SearchOptions kPlainCase{true, false, false};
constexpr SearchOptions kRegex{true, true, false};
constexpr SearchOptions kRegexNoCase{false, true, false};
constexpr SearchOptions kPlainBack{true, false, true};
constexpr SearchOptions kRegexBack{true, true, true};

std::string LongLine() {
    // More than 8192 visible bytes, the hit far beyond them, codes before it.
    return std::string(4000, 'x') + "^1" + std::string(5000, 'y') + "needle" + "\n";
}

class FindTest : public testing::TestWithParam<FindCase> {};

// The kind of chat text every line of a case is, so that its carets are
// codes wherever they stand.
constexpr LineKind kChatText = LineKind::Say;

TEST_P(FindTest, FindsTheDescribedHit) {
    const FindCase& c = GetParam();
    HandLog log(c.log);
    log.LayEveryLine(kChatText);
    LogSearch search;
    MessageRecorder messages;
    const auto hit = search.Find(log, c.text, c.options, c.caret, messages);
    EXPECT_EQ(hit, c.hit);
    if (c.hit) {
        EXPECT_TRUE(messages.messages.empty());
    } else {
        EXPECT_EQ(messages.messages, std::vector<Message>{kNoMatches});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Search, FindTest,
    testing::Values(
        FindCase{"PlainDotIsADot", "axb a.b\n", "a.b", kPlainCase, {0, 0}, SearchHit{0, 4, 6}},
        FindCase{"RegexDotIsAnyCharacter", "axb a.b\n", "a.b", kRegex, {0, 0}, SearchHit{0, 0, 2}},
        FindCase{"PlainFindsNothingElse", "axb\n", "a.b", kPlainCase, {0, 0}, std::nullopt},
        FindCase{
            "CaseIgnored", "  1:00 Kill: 1 2 3\n", "KILL", kPlain, {0, 0}, SearchHit{0, 7, 10}},
        FindCase{"CaseKept", "  1:00 Kill: 1 2 3\n", "KILL", kPlainCase, {0, 0}, std::nullopt},
        FindCase{"RegexCaseIgnored", "Kill\n", "K[I]LL", kRegexNoCase, {0, 0}, SearchHit{0, 0, 3}},
        FindCase{"CodedNameFoundByVisibleText",
                 "say: ^1Bob: hi\n",
                 "Bob",
                 kPlain,
                 {0, 0},
                 SearchHit{0, 5, 7}},
        FindCase{
            "CodeInsideTheWord", "say: Bo^7b: hi\n", "Bob", kPlainCase, {0, 0}, SearchHit{0, 5, 7}},
        FindCase{
            "RegexAcrossACode", "say: Bo^7b: hi\n", "B.b:", kRegex, {0, 0}, SearchHit{0, 5, 8}},
        FindCase{"DoubledCaretIsOneCaret", "a^^b ^^\n", "^", kPlain, {0, 0}, SearchHit{0, 1, 1}},
        FindCase{"DoubledCaretByRegex", "xy^^1\n", "\\^1", kRegex, {0, 0}, SearchHit{0, 2, 3}},
        FindCase{"CodeIsNotText", "a^1b\n", "^1", kPlain, {0, 0}, std::nullopt},
        FindCase{"TrailingCaretHidden", "Bob^\n", "Bob$", kRegex, {0, 0}, SearchHit{0, 0, 2}},
        FindCase{"FromMidLineFindsLaterHit",
                 "abc abc\nabc\n",
                 "abc",
                 kPlain,
                 {0, 2},
                 SearchHit{0, 4, 6}},
        FindCase{"FromMidLineSkipsEarlierHit",
                 "abc xyz\nabc\n",
                 "abc",
                 kPlain,
                 {0, 1},
                 SearchHit{1, 0, 2}},
        FindCase{
            "AnchorMatchesAtTheCaret", "xyz abc\n", "^abc", kRegex, {0, 4}, SearchHit{0, 4, 6}},
        FindCase{"AnchorNotInsideTheLine", "xyz abc\n", "^abc", kRegex, {0, 0}, std::nullopt},
        FindCase{"CaretPastTheVisibleText", "a^1b\nab\n", "b", kPlain, {0, 3}, SearchHit{1, 1, 1}},
        FindCase{"CaretPastTheLastLine", "ab\n", "ab", kPlain, {1, 0}, std::nullopt},
        FindCase{"EmptyMatchSelectsNothing", "abc\n", "x*", kRegex, {0, 1}, SearchHit{0, 1, 0}},
        FindCase{"EndOfLineAnchorAtTheEnd", "abc\n", "$", kRegex, {0, 0}, SearchHit{0, 3, 2}},
        FindCase{"LongLine", LongLine(), "needle", kPlain, {0, 0}, SearchHit{0, 9000, 9005}},
        FindCase{
            "LongLineRegex", LongLine(), "y{3}ne+dle", kRegex, {0, 0}, SearchHit{0, 8997, 9005}},
        FindCase{
            "NonAsciiBytes", "caf\xe9 ok\n", "\xe9 ok", kPlainCase, {0, 0}, SearchHit{0, 3, 6}},
        FindCase{
            "BackwardsGreatestStart", "aaaa\nzz\n", "aa", kPlainBack, {1, 0}, SearchHit{0, 2, 3}},
        FindCase{"BackwardsOnlyLeftOfTheCaret",
                 "ab ab ab\n",
                 "ab",
                 kPlainBack,
                 {0, 5},
                 SearchHit{0, 3, 4}},
        FindCase{"BackwardsHitMustEndAtTheCaret",
                 "ab ab ab\n",
                 "ab",
                 kPlainBack,
                 {0, 4},
                 SearchHit{0, 0, 1}},
        FindCase{"BackwardsColumnZeroSkipsTheLine",
                 "ab\nab\n",
                 "ab",
                 kPlainBack,
                 {1, 0},
                 SearchHit{0, 0, 1}},
        FindCase{"BackwardsNoWrap", "xx\nab\n", "ab", kPlainBack, {0, 2}, std::nullopt},
        FindCase{"BackwardsEachSearchStartsALine",
                 "aaa\n",
                 "^a",
                 kRegexBack,
                 {0, 3},
                 SearchHit{0, 2, 2}},
        FindCase{
            "BackwardsEmptyMatchAtTheLimit", "abc\n", "x*", kRegexBack, {0, 2}, SearchHit{0, 2, 1}},
        FindCase{"BackwardsFromBelowTheLastLine",
                 "ab ab\n",
                 "ab",
                 kPlainBack,
                 {5, 0},
                 SearchHit{0, 3, 4}},
        FindCase{"BackwardsByVisibleColumns",
                 "^1ab ^2ab x\n",
                 "ab",
                 kPlainBack,
                 {0, 9},
                 SearchHit{0, 3, 4}}),
    [](const testing::TestParamInfo<FindCase>& info) { return info.param.name; });

// Where the screen shows carets as characters, the search reads them as
// characters too: a search for the text as it is shown finds it.
TEST(FindInPlainText, CaretsAreCharacters) {
    HandLog log("a^1b ^^x\n");
    LogSearch search;
    MessageRecorder messages;
    EXPECT_EQ(search.Find(log, "^1b", kPlainCase, {0, 0}, messages), (SearchHit{0, 1, 3}));
    EXPECT_EQ(search.Find(log, "^^x", kPlainCase, {0, 0}, messages), (SearchHit{0, 5, 7}));
    EXPECT_EQ(search.Find(log, "ab", kPlainCase, {0, 0}, messages), std::nullopt);
}

// A team-1 name is drawn with its carets as characters, the chat text after
// it with its codes hidden: the columns of a hit are the columns shown.
TEST(FindInAClassifiedLine, HitsAreWhereTheScreenShowsThem) {
    ClassifiedLog log({EventLine("ClientConnect: 1 - 1.2.3.4:5 [" + std::string(kGuidA) + "]"),
                       EventLine(R"(ClientUserinfoChanged: 1 n\^1Vi^7per\t\1\m)"),
                       EventLine("sayteam: ^1Vi^7per: anyone up for a ^3rematch?")});
    log.Walk();
    ModelLines lines(log.model);
    LogSearch search;
    MessageRecorder messages;
    const LineView line = log.Line(2);
    const auto expectBytes = [&](const std::optional<SearchHit>& hit, std::string_view bytes) {
        ASSERT_TRUE(hit);
        const int first = ColumnToByteOffset(line, hit->firstColumn);
        const int end = ColumnToByteOffset(line, hit->lastColumn + 1);
        std::string visible;
        for (int b = first; b < end; ++b) {
            visible += line.text[b];
        }
        EXPECT_EQ(visible, bytes);
    };
    // "   12:34 sayteam: " then the name shown as its 9 bytes.
    EXPECT_EQ(search.Find(lines, "^1Vi^7per", kPlainCase, {2, 0}, messages),
              (SearchHit{2, 17, 25}));
    expectBytes(search.Find(lines, "rematch", kPlainCase, {2, 0}, messages), "^3rematch");
    EXPECT_EQ(search.Find(lines, "Viper", kPlainCase, {2, 0}, messages), std::nullopt);
    expectBytes(search.Find(lines, "per: anyone", kPlainCase, {2, 0}, messages), "per: anyone");
}

class BadExpressionTest : public testing::TestWithParam<SearchOptions> {};

TEST_P(BadExpressionTest, SaysSoAndMatchesNothingAfterwards) {
    HandLog log("abc\n(\n");
    LogSearch search;
    MessageRecorder messages;
    ASSERT_TRUE(search.Find(log, "(", kPlain, {0, 0}, messages)); // a usable expression first
    messages.messages.clear();

    const std::string text = GetParam().regExp ? "(" : "";
    EXPECT_EQ(search.Find(log, text, GetParam(), {0, 0}, messages), std::nullopt);
    EXPECT_EQ(messages.messages, std::vector<Message>{kBadExpression});
    EXPECT_FALSE(search.usable());

    // Find next then finds nothing, even where the old expression matched.
    messages.messages.clear();
    const auto next = search.FindNext(log, {0, 0, 0, -1}, {0, 0}, messages);
    EXPECT_EQ(next.hit, std::nullopt);
    EXPECT_EQ(messages.messages, std::vector<Message>{kNoMoreMatches});
}

INSTANTIATE_TEST_SUITE_P(Search, BadExpressionTest,
                         testing::Values(kRegex, kPlain, kRegexNoCase, kPlainCase));

TEST(BadExpression, EmptyTextIsMalformedInBothModes) {
    for (const SearchOptions& options : {kRegex, kPlain}) {
        HandLog log("abc\n");
        LogSearch search;
        MessageRecorder messages;
        EXPECT_EQ(search.Find(log, "", options, {0, 0}, messages), std::nullopt);
        EXPECT_EQ(messages.messages, std::vector<Message>{kBadExpression});
    }
}

// Boost reads past the end of a pattern that stops inside a range of a set;
// the text given here is exactly as long as the pattern, so the sanitizer
// build would see such a read.
TEST(BadExpression, EndingInsideARangeIsRefusedWithoutReadingPastIt) {
    HandLog log("abc\n");
    for (const std::string& pattern : {std::string("[a-b"), std::string("x[\x10-B")}) {
        const std::vector<char> exact(pattern.begin(), pattern.end());
        LogSearch search;
        MessageRecorder messages;
        EXPECT_EQ(search.Find(log, std::string_view(exact.data(), exact.size()), kRegex, {0, 0},
                              messages),
                  std::nullopt);
        EXPECT_EQ(messages.messages, std::vector<Message>{kBadExpression});
    }
}

TEST(BadExpression, KeepsTheDirection) {
    HandLog log("abc\n");
    LogSearch search;
    MessageRecorder messages;
    search.Find(log, "b", kPlainBack, {0, 3}, messages);
    ASSERT_TRUE(search.backwards());
    search.Find(log, "(", kRegex, {0, 0}, messages);
    EXPECT_TRUE(search.backwards());
}

TEST(BeforeAnyFind, FindNextFindsNothing) {
    HandLog log("abc\n");
    LogSearch search;
    MessageRecorder messages;
    const auto next = search.FindNext(log, {0, 0, 0, 0}, {0, 0}, messages);
    EXPECT_EQ(next.hit, std::nullopt);
    EXPECT_EQ(next.caret, (TextPosition{0, 1}));
    EXPECT_EQ(messages.messages, std::vector<Message>{kNoMoreMatches});
}

// Find next forwards: the caret steps past the selection, to the next line at
// the line's end, and stops with "No more matches" past the last line.
TEST(FindNext, StepsOverEachHitWithoutWrapping) {
    HandLog log("ab ab\nab\n");
    LogSearch search;
    MessageRecorder messages;
    auto hit = search.Find(log, "ab", kPlain, {0, 0}, messages);
    ASSERT_EQ(hit, (SearchHit{0, 0, 1}));

    std::vector<SearchHit> hits;
    std::vector<TextPosition> carets;
    for (int i = 0; i < 3; ++i) {
        const auto next =
            search.FindNext(log, {hit->line, hit->firstColumn, hit->line, hit->lastColumn},
                            {hit->line, hit->firstColumn}, messages);
        carets.push_back(next.caret);
        if (!next.hit) {
            break;
        }
        hit = next.hit;
        hits.push_back(*hit);
    }
    EXPECT_EQ(hits, (std::vector<SearchHit>{{0, 3, 4}, {1, 0, 1}}));
    EXPECT_EQ(carets, (std::vector<TextPosition>{{0, 2}, {1, 0}, {2, 0}}));
    EXPECT_EQ(messages.messages, std::vector<Message>{kNoMoreMatches});
}

TEST(FindNext, AfterAPlainClickStartsAtTheClickedColumn) {
    HandLog log("ab ab ab\n");
    LogSearch search;
    MessageRecorder messages;
    search.Find(log, "ab", kPlain, {0, 0}, messages);
    // A click on column 4 leaves the empty selection (0,4)..(0,3).
    const auto next = search.FindNext(log, {0, 4, 0, 3}, {0, 4}, messages);
    EXPECT_EQ(next.caret, (TextPosition{0, 4}));
    EXPECT_EQ(next.hit, (SearchHit{0, 6, 7}));
}

TEST(FindNext, MovesTheCaretEvenWhenNothingIsFound) {
    HandLog log("ab xy\nzz\n");
    LogSearch search;
    MessageRecorder messages;
    search.Find(log, "ab", kPlain, {0, 0}, messages);
    const auto next = search.FindNext(log, {0, 0, 0, 1}, {0, 0}, messages);
    EXPECT_EQ(next.caret, (TextPosition{0, 2}));
    EXPECT_EQ(next.hit, std::nullopt);
    EXPECT_EQ(messages.messages, std::vector<Message>{kNoMoreMatches});
}

TEST(FindNext, EmptyMatchIsFoundAgain) {
    HandLog log("abc\n");
    LogSearch search;
    MessageRecorder messages;
    const auto hit = search.Find(log, "x*", kRegex, {0, 1}, messages);
    ASSERT_EQ(hit, (SearchHit{0, 1, 0}));
    const auto next = search.FindNext(log, {0, 1, 0, 0}, {0, 1}, messages);
    EXPECT_EQ(next.hit, hit);
}

TEST(FindNext, BackwardsFindsTheClosestHitLeftOfTheCaret) {
    HandLog log("ab ab\nab ab\n");
    LogSearch search;
    MessageRecorder messages;
    auto hit = search.Find(log, "ab", kPlainBack, {1, 4}, messages);
    ASSERT_EQ(hit, (SearchHit{1, 0, 1}));
    std::vector<SearchHit> hits;
    for (;;) {
        // The selection is ignored backwards: the caret on the hit's first
        // character is where the search starts.
        const auto next =
            search.FindNext(log, {9, 9, 9, 9}, {hit->line, hit->firstColumn}, messages);
        EXPECT_EQ(next.caret, (TextPosition{hit->line, hit->firstColumn}));
        if (!next.hit) {
            break;
        }
        hit = next.hit;
        hits.push_back(*hit);
    }
    EXPECT_EQ(hits, (std::vector<SearchHit>{{0, 3, 4}, {0, 0, 1}}));
    EXPECT_EQ(messages.messages, std::vector<Message>{kNoMoreMatches});
}

TEST(FindNext, FromTheLastLineSaysNoMoreMatches) {
    HandLog log("ab\n");
    LogSearch search;
    MessageRecorder messages;
    search.Find(log, "ab", kPlain, {0, 0}, messages);
    const auto next = search.FindNext(log, {0, 0, 0, 1}, {0, 0}, messages);
    EXPECT_EQ(next.caret, (TextPosition{1, 0}));
    EXPECT_EQ(next.hit, std::nullopt);
    EXPECT_EQ(messages.messages, std::vector<Message>{kNoMoreMatches});
}

TEST(SearchError, TheEnginesComplexityLimitSaysTheSearchWasStopped) {
    // Nested repeats that cannot match make the engine give up; whether the
    // log holds a match is then unknown, so "No matches" would be untrue.
    HandLog log(std::string(40, 'a') + "\n");
    LogSearch search;
    MessageRecorder messages;
    EXPECT_EQ(search.Find(log, "(a*)*(a*)*(a*)*[bc]", kRegex, {0, 0}, messages), std::nullopt);
    EXPECT_EQ(search.stop(), SearchStop::TooMuchWork);
    EXPECT_EQ(messages.messages, (std::vector<Message>{kTooMuchWork}));
}

// Expressions the engine's compiler never returns from are refused before
// they reach it; close relatives it compiles stay usable.
struct CompileCase {
    const char* name;
    const char* expression;
    bool usable;
};

void PrintTo(const CompileCase& c, std::ostream* os) {
    *os << c.name;
}

class UnsafeCompileTest : public testing::TestWithParam<CompileCase> {};

TEST_P(UnsafeCompileTest, IsRefusedAsABadExpression) {
    const CompileCase& c = GetParam();
    HandLog log("aa b\n");
    LogSearch search;
    MessageRecorder messages;
    search.Find(log, c.expression, kRegex, {0, 0}, messages);
    EXPECT_EQ(search.usable(), c.usable);
    if (!c.usable) {
        EXPECT_EQ(messages.messages, std::vector<Message>{kBadExpression});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Search, UnsafeCompileTest,
    testing::Values(CompileCase{"PossessivePlusCommentParen", "a++(?#c))", false},
                    CompileCase{"PossessiveCountCommentParen", "a{2}+(?#c))", false},
                    CompileCase{"PossessiveStarCommentText", "a*+(?#c)b", false},
                    CompileCase{"PossessiveOptionalCommentBracket", "a?+(?#c)]", false},
                    CompileCase{"ExtendedModeBlankBetween", "(?x)a++ (?#c)b", false},
                    CompileCase{"PossessiveAlone", "a++ b", true},
                    CompileCase{"CommentAlone", "a+(?#c)b", true},
                    CompileCase{"EscapedPlusThenComment", "a\\++(?#c)b", true},
                    CompileCase{"InsideAClass", "[a++(?#c)b]", true},
                    CompileCase{"InsideQuotes", "\\Qa++(?#c)b\\E", true}),
    [](const testing::TestParamInfo<CompileCase>& info) { return info.param.name; });

// Backtracking that doubles with every character, in an expression long
// enough to lift the engine's own limit far beyond any wait.
std::string RunawayExpression() {
    std::string expression = "(x+x+)+y|";
    for (int i = 0; i < 3000; ++i) {
        expression += "[Q]";
    }
    return expression;
}

// The budget stops it, the user is told, and quarvelctl can tell a stop
// from "No matches".
TEST(SearchBudget, StopsARunawayExpressionAndSaysSo) {
    std::string lines;
    for (int i = 0; i < 20; ++i) {
        lines += std::string(24, 'x') + "\n";
    }
    HandLog log(lines);
    const std::string expression = RunawayExpression();
    for (const SearchOptions& options : {kRegex, kRegexBack}) {
        LogSearch search;
        MessageRecorder messages;
        EXPECT_EQ(search.Find(log, expression, options, {options.backwards ? 19 : 0, 0}, messages),
                  std::nullopt);
        EXPECT_EQ(search.stop(), SearchStop::TooMuchWork);
        EXPECT_EQ(messages.messages, std::vector<Message>{kTooMuchWork});
    }
}

class CancelAtOnce final : public SearchProgress {
public:
    bool KeepGoing() override {
        ++asked;
        return false;
    }
    int asked = 0;
};

TEST(SearchBudget, CancelStopsTheSearchWithoutAMessage) {
    HandLog log(std::string(30, 'x') + "\n");
    LogSearch search;
    CancelAtOnce cancel;
    search.SetProgress(&cancel);
    MessageRecorder messages;
    EXPECT_EQ(search.Find(log, RunawayExpression(), kRegex, {0, 0}, messages), std::nullopt);
    EXPECT_EQ(search.stop(), SearchStop::Cancelled);
    EXPECT_GE(cancel.asked, 1);
    EXPECT_TRUE(messages.messages.empty());

    // The next search starts afresh and finds what is there.
    search.SetProgress(nullptr);
    EXPECT_EQ(search.Find(log, "x{3}", kRegex, {0, 0}, messages), (SearchHit{0, 0, 2}));
    EXPECT_EQ(search.stop(), SearchStop::None);
}

// Walking every hit of a long line, either way, visits each hit once and in
// order (the line's text is read once, not once per hit).
TEST(FindNext, EveryHitOfALongLineInOrderBothWays) {
    const int length = 20000;
    HandLog log("^1" + std::string(length, 'x') + "\n");
    log.LayEveryLine(kChatText); // the code in front is hidden
    for (const SearchOptions& options : {kPlain, kPlainBack, kRegex}) {
        LogSearch search;
        MessageRecorder messages;
        const TextPosition start = options.backwards ? TextPosition{0, length} : TextPosition{0, 0};
        auto hit = search.Find(log, "x", options, start, messages);
        int found = hit ? 1 : 0;
        while (hit) {
            const auto next =
                search.FindNext(log, {hit->line, hit->firstColumn, hit->line, hit->lastColumn},
                                {hit->line, hit->firstColumn}, messages);
            if (!next.hit) {
                break;
            }
            EXPECT_EQ(next.hit->firstColumn, hit->firstColumn + (options.backwards ? -1 : 1));
            hit = next.hit;
            ++found;
        }
        EXPECT_EQ(found, length);
    }
}

TEST(EmptyLog, FindsNothing) {
    HandLog log("");
    LogSearch search;
    MessageRecorder messages;
    EXPECT_EQ(search.Find(log, "a", kPlainBack, {-1, 0}, messages), std::nullopt);
    EXPECT_EQ(search.Find(log, "a", kPlain, {0, 0}, messages), std::nullopt);
    const auto next = search.FindNext(log, {0, 0, 0, -1}, {0, 0}, messages);
    EXPECT_EQ(next.caret, (TextPosition{1, 0}));
    EXPECT_EQ(messages.messages, (std::vector<Message>{kNoMatches, kNoMatches, kNoMoreMatches}));
}

} // namespace
