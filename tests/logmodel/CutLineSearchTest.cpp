// A line longer than the 2 GiB that offsets and columns within a line reach
// is searched in that part only: when the rest of it might hold a match the
// search stops there and says so, instead of passing over a hit it cannot
// show; when the rest cannot hold one, it goes on as for any line. The cut
// is made here at a few bytes, with the whole line still there behind it,
// as the log's store shows a longer line.
#include "HandLog.h"
#include "LogSearch.h"
#include "MessageRecorder.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace {

// HandLog with one line that shows only its first `reach` bytes.
class CutLog final : public LineSource {
public:
    CutLog(std::string bytes, int cutLine, int reach)
        : log_(std::move(bytes)), cutLine_(cutLine), reach_(reach) {}

    int lineCount() const override { return log_.lineCount(); }
    LineView Line(int i) const override {
        LineView line = log_.Line(i);
        if (i == cutLine_) {
            line.byteLength = reach_;
            SetPlainSegments(line);
        }
        return line;
    }
    std::string_view Text(int i) const override { return Line(i).Text(); }
    std::string_view WholeText(int i) const override { return log_.Text(i); }
    std::size_t lineReach() const override { return static_cast<std::size_t>(reach_); }

private:
    HandLog log_;
    int cutLine_;
    int reach_;
};

// Line 1 shows "0123456789" of "0123456789needle^1 and more text".
const std::string kCutLineLog = "before needle\n"
                                "0123456789needle^1 and more text\n"
                                "after needle\n";
constexpr int kCutLineIndex = 1;
constexpr int kCutLineReach = 10;

constexpr SearchOptions kForCut{false, false, false};
constexpr SearchOptions kForCutBack{false, false, true};
constexpr SearchOptions kRegexForCut{true, true, false};
constexpr SearchOptions kRegexForCutBack{true, true, true};

enum class CutOutcome { Hit, Stopped, NoMatches };

struct CutLineCase {
    const char* name;
    std::string text;
    SearchOptions options;
    TextPosition caret;
    CutOutcome outcome;
    SearchHit hit{};
};

void PrintTo(const CutLineCase& c, std::ostream* os) {
    *os << c.name;
}

class CutLineSearch : public testing::TestWithParam<CutLineCase> {};

TEST_P(CutLineSearch, FindsWhatItCanReadOrSaysItStoppedAtTheLine) {
    const CutLineCase& c = GetParam();
    CutLog log(kCutLineLog, kCutLineIndex, kCutLineReach);
    LogSearch search;
    MessageRecorder messages;
    const auto hit = search.Find(log, c.text, c.options, c.caret, messages);
    switch (c.outcome) {
    case CutOutcome::Hit:
        EXPECT_EQ(hit, c.hit);
        EXPECT_EQ(search.stop(), SearchStop::None);
        EXPECT_TRUE(messages.messages.empty());
        break;
    case CutOutcome::NoMatches:
        EXPECT_EQ(hit, std::nullopt);
        EXPECT_EQ(search.stop(), SearchStop::None);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, "No matches");
        break;
    case CutOutcome::Stopped:
        EXPECT_EQ(hit, std::nullopt);
        EXPECT_EQ(search.stop(), SearchStop::LineTooLong);
        EXPECT_EQ(search.stoppedAtLine(), kCutLineIndex);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text,
                  "The search stopped at line 2: it cannot read past the first 2 GiB of a line, "
                  "and the rest of this one may hold a match.");
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Search, CutLineSearch,
    testing::Values(
        CutLineCase{"InTheUnreadRest", "needle", kForCut, {1, 0}, CutOutcome::Stopped},
        CutLineCase{"AcrossTheCut", "89nee", kForCut, {1, 0}, CutOutcome::Stopped},
        CutLineCase{"FromTheLineAbove", "needle", kForCut, {0, 8}, CutOutcome::Stopped},
        CutLineCase{"InTheReadPart", "345", kForCut, {1, 0}, CutOutcome::Hit, {1, 3, 5}},
        CutLineCase{"NotInTheRestGoesOn", "after", kForCut, {1, 0}, CutOutcome::Hit, {2, 0, 4}},
        CutLineCase{"FromBelowTheLine", "needle", kForCut, {2, 0}, CutOutcome::Hit, {2, 6, 11}},
        CutLineCase{"TheRestHoldsItsBytesOnly", "more txt", kForCut, {0, 0}, CutOutcome::NoMatches},
        CutLineCase{"RegexWhoseTextTheRestLacks",
                    "af+ter",
                    kRegexForCut,
                    {1, 0},
                    CutOutcome::Hit,
                    {2, 0, 4}},
        CutLineCase{
            "RegexThatMayMatchInTheRest", "[a-z]{6}", kRegexForCut, {1, 0}, CutOutcome::Stopped},
        CutLineCase{"BackwardsOverTheLine", "needle", kForCutBack, {2, 3}, CutOutcome::Stopped},
        CutLineCase{"BackwardsPastALineThatCannotHold",
                    "before",
                    kForCutBack,
                    {2, 3},
                    CutOutcome::Hit,
                    {0, 0, 5}},
        CutLineCase{"BackwardsOnTheLineTheRestIsRightOfTheCaret",
                    "[0-9]",
                    kRegexForCutBack,
                    {1, 5},
                    CutOutcome::Hit,
                    {1, 4, 4}}),
    [](const testing::TestParamInfo<CutLineCase>& info) { return info.param.name; });

} // namespace
