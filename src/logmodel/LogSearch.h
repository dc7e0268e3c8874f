#pragma once

#include "LineSource.h"
#include "LiteralFinder.h"
#include "Messages.h"
#include "RareByteFilter.h"
#include "TextPosition.h"

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
class LogSearch {
public:
    // Find: compiles the text (a plain text is compiled as a literal),
    // takes the direction and searches from the caret. Says "No matches" when
    // nothing is found and "Bad regular expression supplied" when the text
    // does not compile (an empty text never does); the expression is then
    // unusable until the next Find, and the direction stays.
    std::optional<SearchHit> Find(LineSource& lines, std::string_view text,
                                  const SearchOptions& options, TextPosition caret,
                                  MessageSink& messages);

    // Find next: the last Find's expression and direction, from just past
    // the selection when searching forwards and from the caret when
    // searching backwards. Says "No more matches" when nothing is found.
    FindNextResult FindNext(LineSource& lines, const SelectionBounds& selection, TextPosition caret,
                            MessageSink& messages);

    // Compiles the expression; throws boost::regex_error when the text is
    // malformed or empty, leaving the search unusable.
    void Compile(std::string_view text, bool regExp, bool caseSensitive);

    // Searches from the caret in the current direction. A failure inside the
    // regular-expression engine says "Search error" and counts as not found.
    std::optional<SearchHit> FindFromCaret(LineSource& lines, TextPosition caret,
                                           MessageSink& messages);

    bool usable() const { return usable_; }
    bool backwards() const { return searchBackward_; }
    void SetBackwards(bool backwards) { searchBackward_ = backwards; }

private:
    struct Span {
        int first;
        int end;
    };

    void ChooseRareByte(LineSource& lines, TextPosition caret);
    std::optional<SearchHit> SearchForwards(LineSource& lines, TextPosition caret);
    std::optional<SearchHit> SearchBackwards(LineSource& lines, TextPosition caret);
    bool BytesMayHold(std::string_view line) const;
    std::string_view VisibleTextOf(const LineSource& lines, int n, std::string_view line);
    bool MayHold(std::string_view text) const;
    std::optional<Span> FirstMatch(std::string_view text, int from, int to) const;

    boost::regex searchRegex_;
    bool usable_ = false;
    bool searchBackward_ = false;
    // The quick looks, when the expression names text every match holds:
    // a rare byte of it among the line's bytes (chosen afresh for each
    // search from the log around the caret), then the text itself in the
    // visible text.
    std::string requiredText_;
    std::string requiredBytes_;
    ByteFold fold_{};
    std::optional<RareByteFilter> rareByte_;
    std::optional<LiteralFinder> quickLook_;
    std::string searchBuffer_;
};
