#pragma once

#include "LineSource.h"
#include "LiteralFinder.h"
#include "Messages.h"
#include "RareByteFilter.h"
#include "SearchBudget.h"
#include "TextPosition.h"

#include <bitset>
#include <boost/regex.hpp>
#include <optional>
#include <string>
#include <string_view>

// A hit: visible columns firstColumn..lastColumn (inclusive) of one line. An
// empty match has lastColumn = firstColumn - 1, an empty but active
// selection.
struct SearchHit {
    int line = 0;
    int firstColumn = 0;
    int lastColumn = -1;

    bool operator==(const SearchHit&) const = default;
};

struct SearchOptions {
    bool caseSensitive = false;
    bool regExp = false;
    bool backwards = false;
};

// Find next moves the caret before it searches, whether or not it finds
// anything; the view takes both.
struct FindNextResult {
    TextPosition caret;
    std::optional<SearchHit> hit;
};

// The search of one view: the expression of its last Find and the direction,
// and the line-by-line search through the lines' visible text (codes
// hidden), forwards or backwards from the caret, without wrapping.
//
// Every hit comes from boost::regex_search over the described range of one
// line's visible text; lines are only ruled out beforehand when a quick byte
// search shows that text the match must contain is not there.
//
// Every search runs within a budget of work that grows with the lines it
// reads (SearchBudget), and can be cancelled through a SearchProgress: an
// expression that backtracks without end is stopped and said so, instead of
// freezing the window.
class LogSearch {
public:
    // Find: compiles the text (a plain text is compiled as a literal),
    // takes the direction and searches from the caret. Says "No matches" when
    // nothing is found and "Bad regular expression supplied" when the text
    // does not compile (an empty text never does, nor one the engine cannot
    // compile in bounded time); the expression is then unusable until the
    // next Find, and the direction stays. A search stopped before its end
    // (stop()) says why instead of "No matches".
    std::optional<SearchHit> Find(LineSource& lines, std::string_view text,
                                  const SearchOptions& options, TextPosition caret,
                                  MessageSink& messages);

    // Find next: the last Find's expression and direction, from just past
    // the selection when searching forwards and from the caret when
    // searching backwards. Says "No more matches" when nothing is found, and
    // why when the search was stopped.
    FindNextResult FindNext(LineSource& lines, const SelectionBounds& selection, TextPosition caret,
                            MessageSink& messages);

    // Compiles the expression; throws boost::regex_error when the text is
    // malformed or empty, or cannot be compiled safely (RegexGuard.h),
    // leaving the search unusable.
    void Compile(std::string_view text, bool regExp, bool caseSensitive);

    // Searches from the caret in the current direction. A failure inside the
    // regular-expression engine says "Search error" and counts as not found;
    // a search that ran out of its budget, was cancelled, or came to a line
    // longer than it reads (2 GiB) whose rest may hold a match counts as not
    // found too and sets stop() (saying so unless the user cancelled).
    std::optional<SearchHit> FindFromCaret(LineSource& lines, TextPosition caret,
                                           MessageSink& messages);

    // Asked now and then during every later search; null for none. Not owned.
    void SetProgress(SearchProgress* progress) { progress_ = progress; }
    // Why the last search ended before its answer was known.
    SearchStop stop() const { return stop_; }
    // The line a LineTooLong stop came to.
    int stoppedAtLine() const { return stoppedAtLine_; }

    // The log was loaded again: what the search remembers of its lines (the
    // last line's visible text, the sample the rare byte came from) is
    // forgotten, since new lines may lie where old ones did.
    void ForgetLines() {
        bufferedLine_ = nullptr;
        sampledAt_ = nullptr;
        rawCheckedLine_ = nullptr;
        forwardScan_.reset();
    }

    bool usable() const { return usable_; }
    bool backwards() const { return searchBackward_; }
    void SetBackwards(bool backwards) { searchBackward_ = backwards; }

private:
    struct Span {
        int first;
        int end;
    };

    void ChooseRareByte(LineSource& lines, TextPosition caret);
    std::optional<Span> LastLiteralHit(std::string_view text, int limit);
    std::optional<SearchHit> SearchForwards(LineSource& lines, TextPosition caret);
    // Line n from column k on; the rare byte is looked for unless the
    // caller's scan found it there already.
    std::optional<SearchHit> SearchLineFrom(LineSource& lines, int n, std::string_view line, int k,
                                            bool lookForRareByte);
    // A line longer than the 2 GiB a search reads of it (`line`): when its
    // bytes past `from` may hold a match the search cannot see, it stops
    // there (SearchStop::LineTooLong) rather than pass over a hit.
    void StopAtUnreadRest(LineSource& lines, int n, std::string_view line, int from);
    std::optional<SearchHit> SearchBackwards(LineSource& lines, TextPosition caret);
    bool BytesMayHold(std::string_view line) const;
    bool RawMayHold(std::string_view line);
    std::string_view VisibleTextOf(const LineSource& lines, int n, std::string_view line);
    bool MayHold(std::string_view text) const;
    std::optional<Span> FirstMatch(std::string_view text, int from, int to);

    boost::regex searchRegex_;
    bool usable_ = false;
    bool literal_ = false; // compiled as plain text
    bool searchBackward_ = false;
    SearchProgress* progress_ = nullptr;
    SearchStop stop_ = SearchStop::None;
    int stoppedAtLine_ = 0;     // the line of a LineTooLong stop
    std::size_t lineReach_ = 0; // LineSource::lineReach of the lines searched
    SearchBudget budget_;
    // The quick looks, when the expression names text every match holds:
    // a rare byte of it among the line's bytes (chosen afresh for each
    // search from the log around the caret), then the text itself in the
    // visible text.
    std::string requiredText_;
    std::string requiredBytes_;
    ByteFold fold_{};
    // The folded bytes every match holds.
    std::bitset<256> neededBytes_;
    std::optional<RareByteFilter> rareByte_;
    std::optional<ForwardByteScan> forwardScan_;
    // The line RawMayHold last looked at, and what it found.
    const char* rawCheckedLine_ = nullptr;
    std::size_t rawCheckedLength_ = 0;
    bool rawCheckPassed_ = true;
    std::optional<LiteralFinder> quickLook_;
    std::string searchBuffer_;
    // Find next on a long line comes back to the same line again and again:
    // its visible text and the rare byte of the sample stay until the line
    // or the place changes, so a walk over every hit of a line reads it
    // once rather than once per hit.
    const char* bufferedLine_ = nullptr;
    int bufferedLength_ = -1;
    std::string_view bufferedText_;
    std::optional<RareByteFilter> rareByteChosen_;
    const char* sampledAt_ = nullptr;
    bool sampledBackwards_ = false;
};
