#include "LogSearch.h"

#include "RequiredLiteral.h"
#include "VisibleText.h"

#include <algorithm>

namespace {

constexpr char kApplicationTitle[] = "Quarvel";

const Message kNoMatches{"No matches", kApplicationTitle, MessageIcon::None};
const Message kNoMoreMatches{"No more matches", kApplicationTitle, MessageIcon::None};
const Message kBadExpression{"Bad regular expression supplied", "Error", MessageIcon::Error};
const Message kSearchError{"Search error", "Error", MessageIcon::Error};

// What the engine takes for the same letter when it ignores case, so the
// quick look and the engine agree on every byte.
ByteFold CaseFoldOf(const boost::regex& expression) {
    boost::regex::traits_type traits;
    traits.imbue(expression.getloc());
    ByteFold fold{};
    for (std::size_t b = 0; b < fold.size(); ++b) {
        fold[b] = static_cast<unsigned char>(traits.translate_nocase(static_cast<char>(b)));
    }
    return fold;
}

int ByteLengthOf(LineSource& lines, int i) {
    return i >= 0 && i < lines.lineCount() ? lines.Line(i).byteLength : 0;
}

} // namespace

std::optional<SearchHit> LogSearch::Find(LineSource& lines, std::string_view text,
                                         const SearchOptions& options, TextPosition caret,
                                         MessageSink& messages) {
    try {
        Compile(text, options.regExp, options.caseSensitive);
    } catch (...) {
        messages.Show(kBadExpression);
        return std::nullopt;
    }
    searchBackward_ = options.backwards;
    auto hit = FindFromCaret(lines, caret, messages);
    if (!hit) {
        messages.Show(kNoMatches);
    }
    return hit;
}

FindNextResult LogSearch::FindNext(LineSource& lines, const SelectionBounds& selection,
                                   TextPosition caret, MessageSink& messages) {
    if (!searchBackward_) {
        // Just past the selection. The step to the next line compares with
        // the line's byte length, as the caret rules always have; a column
        // between the visible and the byte length simply finds nothing more
        // on that line.
        caret = {selection.endLine, selection.endColumn + 1};
        if (caret.column >= ByteLengthOf(lines, selection.endLine)) {
            caret = {selection.endLine + 1, 0};
            if (caret.line >= lines.lineCount()) {
                messages.Show(kNoMoreMatches);
                return {caret, std::nullopt};
            }
        }
    }
    auto hit = FindFromCaret(lines, caret, messages);
    if (!hit) {
        messages.Show(kNoMoreMatches);
    }
    return {caret, hit};
}

void LogSearch::Compile(std::string_view text, bool regExp, bool caseSensitive) {
    usable_ = false;
    quickLook_.reset();
    searchRegex_ = boost::regex();

    boost::regex::flag_type flags = regExp ? boost::regex::normal : boost::regex::literal;
    if (!caseSensitive) {
        flags |= boost::regex::icase;
    }
    // An empty text is malformed in both modes; the engine only refuses it
    // by itself in the literal one.
    static constexpr char kNothing[] = "";
    const char* first = text.empty() ? kNothing : text.data();
    if (text.empty()) {
        flags |= boost::regex::no_empty_expressions;
    }
    searchRegex_.assign(first, first + text.size(), flags);
    usable_ = true;

    const std::string required = regExp ? RequiredLiteral(text) : std::string(text);
    if (!required.empty()) {
        quickLook_.emplace(required, caseSensitive ? IdentityFold() : CaseFoldOf(searchRegex_));
    }
}

std::optional<SearchHit> LogSearch::FindFromCaret(LineSource& lines, TextPosition caret,
                                                  MessageSink& messages) {
    // An expression that never compiled matches nothing on any line.
    if (!usable_) {
        return std::nullopt;
    }
    try {
        return searchBackward_ ? SearchBackwards(lines, caret) : SearchForwards(lines, caret);
    } catch (...) {
        messages.Show(kSearchError);
        return std::nullopt;
    }
}

std::optional<SearchHit> LogSearch::SearchForwards(LineSource& lines, TextPosition caret) {
    const int count = lines.lineCount();
    // A caret left of the text (or above the first line) searches from the
    // start of its line.
    int n = std::max(caret.line, 0);
    int k = caret.line < 0 ? 0 : std::max(caret.column, 0);
    for (; n < count; ++n, k = 0) {
        const std::string_view text = VisibleTextOf(lines.Line(n));
        const int m = static_cast<int>(text.size());
        if (k > m || !MayHold(text.substr(static_cast<std::size_t>(k)))) {
            continue;
        }
        if (const auto match = FirstMatch(text, k, m)) {
            return SearchHit{n, match->first, match->end - 1};
        }
    }
    return std::nullopt;
}

std::optional<SearchHit> LogSearch::SearchBackwards(LineSource& lines, TextPosition caret) {
    const int count = lines.lineCount();
    // A caret below the last line leaves that whole line before it.
    for (int n = std::min(caret.line, count - 1); n >= 0; --n) {
        const bool onCaretLine = n == caret.line;
        if (onCaretLine && caret.column <= 0) {
            continue; // nothing lies left of the caret
        }
        const std::string_view text = VisibleTextOf(lines.Line(n));
        int limit = static_cast<int>(text.size());
        if (onCaretLine) {
            limit = std::min(limit, caret.column);
        }
        if (!MayHold(text.substr(0, static_cast<std::size_t>(limit)))) {
            continue;
        }
        // The hit with the greatest start: search again from one past each
        // hit's start; every search ends at the limit, so every hit does.
        std::optional<Span> last;
        int start = 0;
        while (start <= limit) {
            const auto match = FirstMatch(text, start, limit);
            if (!match) {
                break;
            }
            last = match;
            start = match->first + 1;
        }
        if (last) {
            return SearchHit{n, last->first, last->end - 1};
        }
    }
    return std::nullopt;
}

std::string_view LogSearch::VisibleTextOf(const LogLine& line) {
    const std::string_view raw(line.text, static_cast<std::size_t>(std::max(line.byteLength, 0)));
    // Without a caret the bytes are the visible text: search them in place.
    if (IsFreeOfCarets(raw)) {
        return raw;
    }
    return CopyVisibleText(raw, searchBuffer_);
}

bool LogSearch::MayHold(std::string_view text) const {
    return !quickLook_ || quickLook_->OccursIn(text);
}

std::optional<LogSearch::Span> LogSearch::FirstMatch(std::string_view text, int from,
                                                     int to) const {
    static constexpr char kEmptyLine[] = "";
    const char* base = text.empty() ? kEmptyLine : text.data();
    boost::cmatch match;
    // Each search takes its own start for the start of a line.
    if (!boost::regex_search(base + from, base + to, match, searchRegex_, boost::match_default)) {
        return std::nullopt;
    }
    return Span{static_cast<int>(match[0].first - base), static_cast<int>(match[0].second - base)};
}
