// The match index against the plain reference (MatchIndexReference.h) on
// generated logs: text and expressions over the visible text, each kind, a
// player across his renames, marks, NOT and their combinations; growth and
// reload; the whole-file reach quarvelctl counts with; the work budget.
#include "MatchIndex.h"

#include "HitLines.h"
#include "LogGenerator.h"
#include "MatchIndexReference.h"
#include "TempFile.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A generated log, classified as a window classifies it.
class GeneratedLog {
public:
    explicit GeneratedLog(std::size_t bytes = 150'000, std::uint32_t seed = 3)
        : file_(GenerateLog(bytes, seed)) {
        model.Load(file_.path());
        model.WalkAll(WalkMode::Classify);
    }
    // The GUID with the most names in the log: a player who renamed.
    std::string RenamedGuid() const {
        std::string best;
        std::size_t most = 0;
        for (const ConnectionRecord& record : model.playerSlots().connections()) {
            const auto* aliases = model.guidTable().Aliases(record.Guid());
            const auto names =
                aliases == nullptr
                    ? 0
                    : static_cast<std::size_t>(std::distance(aliases->begin(), aliases->end()));
            if (names > most) {
                most = names;
                best = std::string(record.Guid());
            }
        }
        return best;
    }
    const TempFile& file() const { return file_; }

    LogModel model;

private:
    TempFile file_;
};

std::set<int> IndexHits(const LogModel& model, const LineFilter& filter) {
    MatchIndex index(filter);
    index.ScanAll(model);
    EXPECT_EQ(index.scannedLines(), model.lineCount());
    EXPECT_EQ(index.stop(), IndexStop::None);
    return Members(index.hits());
}

LineFilter TextFilter(std::string text, bool regExp, bool caseSensitive, bool exclude = false) {
    LineFilter filter;
    filter.text = TextCriterion{std::move(text), regExp, caseSensitive, exclude};
    return filter;
}

struct TextCase {
    const char* text;
    bool regExp;
    bool caseSensitive;
};

// Literals and expressions the engine reads, and some it leaves to
// Boost.Regex (anchors, word boundaries, back-references); names hold colour
// codes, so some hits show only once codes are hidden.
const TextCase kTextCases[] = {
    {"killed", false, true},
    {"KILLED", false, false},
    {"Bob", false, true},
    {"bob", false, false},
    {"^", false, true},
    {"^7", false, true},
    {"who is Bob?", false, true},
    {"MOD_M[0-9]+", true, true},
    {"mod_m[0-9]+_", true, false},
    {"Viper|Raven|Clan]", true, true},
    {"(Bo|Ra)[a-z]+ killed", true, true},
    {"[^a-z ]{3}", true, false},
    {"\\d{2}:\\d\\d say", true, true},
    {"n\\\\.*\\\\t\\\\[12]", true, true},
    {"^ +1:", true, true},
    {"\\bKilo\\b", true, false},
    {"(a)\\1", true, true},
    {"x*", true, true},
    {"gl hf", false, false},
};

TEST(MatchIndexTest, TextMatchesTheReferenceOnVisibleText) {
    GeneratedLog log(80'000);
    for (const TextCase& c : kTextCases) {
        for (const bool exclude : {false, true}) {
            const LineFilter filter = TextFilter(c.text, c.regExp, c.caseSensitive, exclude);
            EXPECT_EQ(IndexHits(log.model, filter), reference::Hits(log.model, filter))
                << c.text << (exclude ? " excluded" : "");
        }
    }
}

TEST(MatchIndexTest, KindsAndPlayersMatchTheReference) {
    GeneratedLog log;
    const std::string guid = log.RenamedGuid();
    ASSERT_FALSE(guid.empty());
    std::string lowerGuid = guid;
    std::transform(lowerGuid.begin(), lowerGuid.end(), lowerGuid.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });

    std::vector<LineFilter> filters;
    for (const LineEvent event :
         {LineEvent::Chat, LineEvent::Kill, LineEvent::Connect, LineEvent::Rename}) {
        LineFilter filter;
        filter.kinds = KindCriterion{EventKinds().Add(event)};
        filters.push_back(filter);
    }
    LineFilter chatOrKill;
    chatOrKill.kinds = KindCriterion{EventKinds().Add(LineEvent::Chat).Add(LineEvent::Kill)};
    filters.push_back(chatOrKill);
    for (const std::string& g : {guid, lowerGuid}) {
        LineFilter player;
        player.player = PlayerCriterion{g};
        filters.push_back(player);
    }
    // His chat; everything but his kills; not (chat with "gg").
    LineFilter hisChat;
    hisChat.player = PlayerCriterion{guid};
    hisChat.kinds = KindCriterion{EventKinds().Add(LineEvent::Chat)};
    filters.push_back(hisChat);
    LineFilter notHisKills = hisChat;
    notHisKills.kinds = KindCriterion{EventKinds().Add(LineEvent::Kill)};
    notHisKills.exclude = true;
    filters.push_back(notHisKills);
    LineFilter chatWithoutGg = TextFilter("gg", false, false, true);
    chatWithoutGg.kinds = KindCriterion{EventKinds().Add(LineEvent::Chat)};
    filters.push_back(chatWithoutGg);
    LineFilter noOne;
    noOne.player = PlayerCriterion{"00000000000000000000000000000000"};
    filters.push_back(noOne);

    for (std::size_t n = 0; n < filters.size(); ++n) {
        const std::set<int> expected = reference::Hits(log.model, filters[n]);
        EXPECT_EQ(IndexHits(log.model, filters[n]), expected) << "filter " << n;
    }
    // The player's lines hold more than his ClientConnect lines: renames,
    // kills and chat under more than one name.
    LineFilter player;
    player.player = PlayerCriterion{guid};
    EXPECT_GT(reference::Hits(log.model, player).size(), 20u);
}

TEST(MatchIndexTest, MarksCombineAndChangeWithoutARescan) {
    GeneratedLog log(40'000);
    LineFilter filter = TextFilter("killed", false, true);
    filter.marks = MarkCriterion{};
    for (const int line : {3, 10, 50, 51, 400}) {
        filter.marks->lines.Add(line);
    }
    MatchIndex index(filter);
    index.ScanAll(log.model);
    EXPECT_EQ(Members(index.hits()), reference::Hits(log.model, filter));

    LineSet marks;
    marks.AddRange(0, log.model.lineCount());
    marks.Remove(7);
    index.SetMarks(marks);
    filter.marks->lines = marks;
    EXPECT_EQ(Members(index.hits()), reference::Hits(log.model, filter));

    filter.marks->exclude = true;
    MatchIndex excluding(filter);
    excluding.ScanAll(log.model);
    EXPECT_EQ(Members(excluding.hits()), reference::Hits(log.model, filter));
}

// A log of several chunks and batches, a batch a call: lines are numbered
// across chunks, and the whole-file reach stops in a later chunk for
// classification and goes on from there.
TEST(MatchIndexTest, BatchByBatchFindsTheSameAsTheReference) {
    GeneratedLog log(1'300'000);
    LineFilter filter = TextFilter("Bob", false, false);
    filter.kinds = KindCriterion{EventKinds().Add(LineEvent::Chat).Add(LineEvent::Kill)};
    MatchIndex index(filter);
    int scanned = 0;
    int calls = 0;
    while (!index.Scan(log.model, std::chrono::nanoseconds(0)).caughtUp) {
        EXPECT_GT(index.scannedLines(), scanned);
        scanned = index.scannedLines();
        ++calls;
    }
    EXPECT_GE(calls, 2);
    EXPECT_EQ(Members(index.hits()), reference::Hits(log.model, filter));

    const LineFilter text = TextFilter("B^7ob|Bob", true, true);
    LogModel model;
    model.Load(log.file().path(), 700'000);
    model.ClassifyUpTo(model.lineCount());
    MatchIndex counting(text, IndexReach::WholeFile);
    counting.ScanAll(model);
    ASSERT_EQ(counting.stop(), IndexStop::NeedsClassification);
    EXPECT_GE(counting.scannedLines(), model.lineCount()); // past what is split
    model.SplitAndClassifyRest();
    counting.ScanAll(model);
    EXPECT_EQ(counting.scannedLines(), log.model.lineCount());
    EXPECT_EQ(Members(counting.hits()), reference::Hits(log.model, text));
}

// A log grows while it is filtered: only lines the classification reached
// are decided, and the new lines are taken up; a rewritten log starts again.
TEST(MatchIndexTest, FollowsGrowthAndStartsAgainAfterAReload) {
    const std::string all = GenerateLog(120'000, 5);
    const std::size_t half = all.find('\n', all.size() / 2) + 1;
    TempFile file(all.substr(0, half));
    LogModel model;
    model.Load(file.path());
    LineFilter filter = TextFilter("(Bo|Ra)[a-z]+", true, true);
    filter.kinds = KindCriterion{EventKinds().Add(LineEvent::Kill).Add(LineEvent::Chat)};
    MatchIndex index(filter);

    model.ClassifyUpTo(100);
    index.ScanAll(model);
    EXPECT_EQ(index.scannedLines(), 100);
    model.WalkAll(WalkMode::Classify);
    index.ScanAll(model);
    EXPECT_EQ(Members(index.hits()), reference::Hits(model, filter));

    {
        std::ofstream out(file.path(), std::ios::binary | std::ios::app);
        out << all.substr(half);
    }
    ASSERT_EQ(model.Refresh(), FileChange::Grew);
    index.ScanAll(model);
    EXPECT_EQ(index.scannedLines(), model.classifiedCount()); // the new lines wait for it
    model.WalkAll(WalkMode::Classify);
    index.ScanAll(model);
    EXPECT_EQ(index.scannedLines(), model.lineCount());
    EXPECT_EQ(Members(index.hits()), reference::Hits(model, filter));

    file.Write(GenerateLog(30'000, 9));
    ASSERT_EQ(model.Refresh(), FileChange::Truncated);
    model.WalkAll(WalkMode::Classify);
    index.ScanAll(model);
    EXPECT_EQ(index.scannedLines(), model.lineCount());
    EXPECT_EQ(Members(index.hits()), reference::Hits(model, filter));
}

// quarvelctl's count: the whole file read without splitting or classifying
// it first, classified only when a line's colour codes leave its visible
// text open; the same hits as a window's index.
TEST(MatchIndexTest, WholeFileReachFindsTheSameLines) {
    const GeneratedLog classified(80'000);
    for (const TextCase& c : kTextCases) {
        LogModel model;
        model.Load(classified.file().path(), 4096);
        const LineFilter filter = TextFilter(c.text, c.regExp, c.caseSensitive);
        MatchIndex index(filter, IndexReach::WholeFile);
        index.ScanAll(model);
        while (index.stop() == IndexStop::NeedsClassification) {
            model.SplitAndClassifyRest();
            index.ScanAll(model);
        }
        EXPECT_EQ(index.scannedLines(), classified.model.lineCount()) << c.text;
        EXPECT_EQ(Members(index.hits()), reference::Hits(classified.model, filter)) << c.text;
    }
}

TEST(MatchIndexTest, CodeFreeTextNeedsNoClassification) {
    const GeneratedLog classified(60'000);
    LogModel model;
    model.Load(classified.file().path(), 4096);
    MatchIndex index(TextFilter("MOD_M[0-9]+", true, true), IndexReach::WholeFile);
    index.ScanAll(model);
    EXPECT_EQ(index.stop(), IndexStop::None);
    EXPECT_EQ(model.classifiedCount(), 0);
    EXPECT_EQ(index.scannedLines(), classified.model.lineCount());
    EXPECT_GT(index.hits().Count(), 0);
}

// A list of hits measures its lines in one walk over the set: the same widest
// line as measuring each by its number, for any stretch of them.
TEST(MatchIndexTest, HitLinesMeasureTheirWidestLineAsEachLineWould) {
    const GeneratedLog log(200'000);
    MatchIndex index(TextFilter("killed", false, true));
    index.ScanAll(log.model);
    HitLines hits(log.model);
    EXPECT_EQ(hits.WidestVisible(0, 10, 0), 0); // no set yet
    hits.SetHits(&index.hits());
    const int count = hits.lineCount();
    ASSERT_GT(count, 100);
    const struct {
        int first;
        int end;
        int widest;
    } kRanges[] = {{0, count, 0},  {0, 1, 0}, {17, 90, 0},        {count - 5, count, 0},
                   {0, count, 40}, {3, 3, 7}, {0, count, 100'000}};
    for (const auto& range : kRanges) {
        EXPECT_EQ(hits.WidestVisible(range.first, range.end, range.widest),
                  hits.LineSource::WidestVisible(range.first, range.end, range.widest))
            << range.first << ".." << range.end << " over " << range.widest;
    }
}

// A list of hits finds the line after the last one asked for from there: the
// same lines as the set's n-th, in order or not, and after every kind of
// change of the set between two questions (a line added before the place,
// lines taken from another set, moved in, cleared and filled again).
TEST(MatchIndexTest, HitLinesFollowTheirSetInOrderAndThroughItsChanges) {
    LogModel model;
    HitLines hits(model);
    LineSet set;
    for (int line = 0; line < 300'000; line += 3) {
        set.Add(line);
    }
    set.AddRange(400'000, 470'000);
    hits.SetHits(&set);
    const auto expectSame = [&](int i, const char* after) {
        EXPECT_EQ(hits.LogLineIndex(i), set.Nth(i).value_or(0)) << i << " " << after;
    };
    for (int i = 0; i < set.Count() + 2; ++i) {
        expectSame(i, "in order");
    }
    for (const int i : {50, 49, 120'000, 7, 8, 8, 169'999, 170'000}) {
        expectSame(i, "out of order");
    }

    LineSet other;
    other.AddRange(10, 20);
    const struct {
        const char* change;
        std::function<void()> make;
    } kChanges[] = {
        {"a line added before the place", [&] { set.Add(1); }},
        {"a line taken away", [&] { set.Remove(3); }},
        {"lines flipped", [&] { set.FlipRange(0, 10); }},
        {"lines of another set", [&] { set = other; }},
        {"another set moved in",
         [&] {
             LineSet moved;
             moved.AddRange(5, 9);
             set = std::move(moved);
         }},
        {"cleared and filled again",
         [&] {
             set.Clear();
             set.AddRange(2, 30);
         }},
        {"joined", [&] { set |= other; }},
        {"cut", [&] { set -= other; }},
    };
    for (const auto& change : kChanges) {
        hits.LogLineIndex(2);
        change.make();
        expectSame(3, change.change);
        expectSame(4, change.change);
    }
}

// The whole-file reach copies the file's bytes rather than reading its view;
// where the file is shorter than it was at the load, the view (which reads
// zeros past the file's new end) is read as before: no crash, no line lost.
TEST(MatchIndexTest, WholeFileReachOfAFileCutShorterReadsItsView) {
    std::string log;
    for (int i = 0; i < 40'000; ++i) {
        log += "  12:00 say: Bob: line " + std::to_string(i) + "\n";
    }
    TempFile file(log);
    LogModel model;
    model.Load(file.path(), 4096);
    ASSERT_EQ(::truncate(file.path().c_str(), static_cast<off_t>(log.size() / 2)), 0);
    MatchIndex index(TextFilter("line 3", false, true), IndexReach::WholeFile);
    index.ScanAll(model);
    EXPECT_EQ(index.stop(), IndexStop::None);
    // Every line of the first half that holds the text, none of the zeros.
    int expected = 0;
    std::size_t at = 0;
    for (int i = 0; i < 40'000; ++i) {
        const std::string line = "  12:00 say: Bob: line " + std::to_string(i) + "\n";
        at += line.size();
        if (at <= log.size() / 2 && line.find("line 3") != std::string::npos) {
            ++expected;
        }
    }
    EXPECT_EQ(index.hits().Count(), expected);
}

// The engine reads (x+x+)+y in linear time; a word boundary leaves it to
// Boost.Regex, which backtracks until the budget stops it.
TEST(MatchIndexTest, AnExpressionThatTakesTooMuchWorkStops) {
    const std::string line = "  12:34 say: y " + std::string(3000, 'x') + "\n";
    TempFile file(line + line);
    LogModel model;
    model.Load(file.path());
    model.WalkAll(WalkMode::Classify);
    MatchIndex index(TextFilter("(x+x+)+y\\b", true, true));
    index.ScanAll(model);
    EXPECT_EQ(index.stop(), IndexStop::TooMuchWork);
    EXPECT_EQ(index.scannedLines(), 0);
    EXPECT_TRUE(index.hits().Empty());
}

TEST(MatchIndexTest, BadExpressionsThrowAsTheSearchSays) {
    for (const TextCase& bad : {TextCase{"", false, true}, TextCase{"", true, true},
                                TextCase{"(", true, true}, TextCase{"a++(?#c)b", true, true}}) {
        EXPECT_THROW(MatchIndex(TextFilter(bad.text, bad.regExp, bad.caseSensitive)),
                     boost::regex_error)
            << bad.text;
    }
}

TEST(MatchIndexTest, NoCriterionTakesEveryLineAndNotNone) {
    GeneratedLog log(20'000);
    LineFilter all;
    EXPECT_EQ(IndexHits(log.model, all).size(), static_cast<std::size_t>(log.model.lineCount()));
    all.exclude = true;
    EXPECT_TRUE(IndexHits(log.model, all).empty());
}

// What a list of hits draws a screen with.
TEST(LineSetTest, CountsRanksAndFindsLikeASortedList) {
    const std::vector<int> lines = {0, 5, 6, 70000, 70001, 200000};
    LineSet set;
    for (const int line : lines) {
        set.Add(line);
    }
    EXPECT_EQ(set.Count(), 6);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        EXPECT_EQ(set.Nth(static_cast<int>(n)), lines[n]);
        EXPECT_EQ(set.Rank(lines[n]), static_cast<int>(n));
        EXPECT_TRUE(set.Contains(lines[n]));
    }
    EXPECT_EQ(set.Nth(6), std::nullopt);
    EXPECT_EQ(set.Nth(-1), std::nullopt);
    EXPECT_EQ(set.Rank(7), 3);
    EXPECT_EQ(set.Rank(0), 0);
    EXPECT_EQ(set.NextFrom(7), 70000);
    EXPECT_EQ(set.NextFrom(200001), std::nullopt);
    EXPECT_EQ(set.PreviousFrom(69999), 6);
    EXPECT_EQ(set.PreviousFrom(5), 5);
    EXPECT_EQ(set.PreviousFrom(-1), std::nullopt);
    EXPECT_FALSE(set.Contains(-1));
    LineSet flipped = set;
    flipped.FlipRange(4, 8);
    EXPECT_EQ(Members(flipped), (std::set<int>{0, 4, 7, 70000, 70001, 200000}));
    EXPECT_EQ(Members(set.Slice(6, 70001)), (std::set<int>{6, 70000}));
}

} // namespace
