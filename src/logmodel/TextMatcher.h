#pragma once

#include "LineFilter.h"
#include "LiteralFinder.h"
#include "RareByteFilter.h"
#include "SearchBudget.h"

#include <bitset>
#include <boost/regex.hpp>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class LogModel;
struct hs_database;
struct hs_scratch;

// Whole lines of a log, one after another as the file holds them: every line
// ends with its LF (and a CR before it, which is not part of the line).
struct LineChunk {
    const char* begin;
    const char* end;
    // The number of the line that starts at `begin`, or -1 when it is not
    // known yet, which happens only past the lines the store has split:
    // none of those is classified.
    int firstLine;
};

// What a scan of a chunk for a text found.
struct TextChunkResult {
    std::vector<int> hits; // lines counted from the chunk's first, increasing
    int lines = 0;         // lines of the chunk looked at
    // Why it stopped before the chunk's end: a line that needs its
    // classification before its visible text is known (NeedsClassification,
    // at `lines`), or a search that took too much work.
    enum class Stop { None, NeedsClassification, TooMuchWork } stop = Stop::None;
};

// A text criterion, compiled. Boost.Regex is the reference: a line matches
// when regex_search finds a match in its whole visible text (colour codes
// hidden where the screen hides them), with the search's options, budget and
// guard. The scanning engine (Hyperscan) reads whole chunks of lines at once
// when the text translates (ScanPattern.h); it decides every line without a
// caret or a CR, rules out every other line without a possible match, and
// takes a line whose bytes hold a match with no colour code in or just before
// it. What is left, a line with colour codes where a match could lie, is
// decided by Boost.Regex on its visible text, which needs the line
// classified: a chunk stops there (NeedsClassification) when it is not yet.
// A text that does not translate goes to Boost.Regex line by line, after the
// search's quick looks (a rare byte, the literal every match holds).
//
// A matcher is read by several threads at once; each brings its own Scratch.
class TextMatcher {
public:
    // Compiles the text as the search does; throws boost::regex_error when it
    // is empty, malformed or unsafe. `sample`, some of the log, picks the
    // rare byte of the quick look.
    TextMatcher(const TextCriterion& criterion, std::string_view sample);
    ~TextMatcher();
    TextMatcher(const TextMatcher&) = delete;
    TextMatcher& operator=(const TextMatcher&) = delete;

    // What one thread needs of its own to scan.
    class Scratch {
    public:
        Scratch() = default;
        ~Scratch();
        Scratch(const Scratch&) = delete;
        Scratch& operator=(const Scratch&) = delete;

    private:
        friend class TextMatcher;
        hs_scratch* engine_ = nullptr;
        std::string visible_;
        struct Match {
            unsigned long long from;
            unsigned long long to;
            unsigned id;
        };
        std::vector<Match> matches_;
    };

    // Scans the chunk: the hits among its lines, up to where it had to stop.
    TextChunkResult Scan(const LogModel& model, LineChunk chunk, Scratch& scratch,
                         SearchBudget& budget) const;

    // Boost.Regex's answer for a line that shows `visible`.
    bool MatchesVisible(std::string_view visible, SearchBudget& budget) const;

    // True when the scanning engine reads the text (it translated and
    // compiled); false when Boost.Regex reads every line.
    bool scansWithEngine() const { return engine_ != nullptr; }
    // True when every line matches (a text that matches the empty text
    // anywhere).
    bool matchesEveryLine() const { return everyLine_; }

private:
    struct LineFlags;
    class Engine;

    TextChunkResult ScanWithEngine(const LogModel& model, LineChunk chunk, Scratch& scratch,
                                   SearchBudget& budget) const;
    TextChunkResult ScanLineByLine(const LogModel& model, LineChunk chunk, Scratch& scratch,
                                   SearchBudget& budget) const;
    // Decides one line from its visible text; nothing when the line has
    // colour codes and is not classified yet (or its number is not known,
    // -1).
    std::optional<bool> DecideExactly(const LogModel& model, int line, std::string_view bytes,
                                      bool hasCaret, Scratch& scratch, SearchBudget& budget) const;
    bool RawMayHold(std::string_view bytes) const;

    boost::regex expression_;
    std::unique_ptr<Engine> engine_;
    bool everyLine_ = false;
    // The quick looks of Boost.Regex's lines.
    ByteFold fold_{};
    std::bitset<256> neededBytes_;
    std::optional<RareByteFilter> rareByte_;
    std::optional<LiteralFinder> quickLook_;
};
