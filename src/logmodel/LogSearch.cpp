#include "LogSearch.h"

#include "ColourCodes.h"
#include "RareByteFilter.h"
#include "RequiredLiteral.h"
#include "VisibleText.h"

#include <algorithm>

namespace {

constexpr char kApplicationTitle[] = "Quarvel";

Message NoMatches() {
    return {"No matches", kApplicationTitle, MessageIcon::None};
}
Message NoMoreMatches() {
    return {"No more matches", kApplicationTitle, MessageIcon::None};
}
Message BadExpression() {
    return {"Bad regular expression supplied", "Error", MessageIcon::Error};
}
Message SearchError() {
    return {"Search error", "Error", MessageIcon::Error};
}

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

// The last line from `first` on that starts at or before `byte`: the line
// holding it, or the line whose line end holds it.
int LineHolding(LineSource& lines, int first, int count, const char* byte) {
    int below = first; // starts at or before the byte
    int step = 1;
    int above = count; // starts after it, or past the last line
    while (below + step < count) {
        if (lines.Text(below + step).data() > byte) {
            above = below + step;
            break;
        }
        below += step;
        step *= 2;
    }
    while (above - below > 1) {
        const int middle = below + (above - below) / 2;
        if (lines.Text(middle).data() <= byte) {
            below = middle;
        } else {
            above = middle;
        }
    }
    return below;
}

int ByteLengthOf(LineSource& lines, int i) {
    return i >= 0 && i < lines.lineCount() ? static_cast<int>(lines.Text(i).size()) : 0;
}

} // namespace

std::optional<SearchHit> LogSearch::Find(LineSource& lines, std::string_view text,
                                         const SearchOptions& options, TextPosition caret,
                                         MessageSink& messages) {
    try {
        Compile(text, options.regExp, options.caseSensitive);
    } catch (...) {
        messages.Show(BadExpression());
        return std::nullopt;
    }
    searchBackward_ = options.backwards;
    auto hit = FindFromCaret(lines, caret, messages);
    if (!hit) {
        messages.Show(NoMatches());
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
                messages.Show(NoMoreMatches());
                return {caret, std::nullopt};
            }
        }
    }
    auto hit = FindFromCaret(lines, caret, messages);
    if (!hit) {
        messages.Show(NoMoreMatches());
    }
    return {caret, hit};
}

void LogSearch::Compile(std::string_view text, bool regExp, bool caseSensitive) {
    usable_ = false;
    requiredText_.clear();
    requiredBytes_.clear();
    rareByte_.reset();
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

    if (regExp) {
        RequiredText required = FindRequiredText(text);
        requiredText_ = std::move(required.longest);
        requiredBytes_ = std::move(required.everyByte);
    } else {
        requiredText_ = text;
        requiredBytes_ = text;
    }
    if (!requiredText_.empty()) {
        fold_ = caseSensitive ? IdentityFold() : CaseFoldOf(searchRegex_);
        quickLook_.emplace(requiredText_, fold_);
    }
}

std::optional<SearchHit> LogSearch::FindFromCaret(LineSource& lines, TextPosition caret,
                                                  MessageSink& messages) {
    // An expression that never compiled matches nothing on any line.
    if (!usable_) {
        return std::nullopt;
    }
    try {
        ChooseRareByte(lines, caret);
        return searchBackward_ ? SearchBackwards(lines, caret) : SearchForwards(lines, caret);
    } catch (...) {
        messages.Show(SearchError());
        return std::nullopt;
    }
}

void LogSearch::ChooseRareByte(LineSource& lines, TextPosition caret) {
    rareByte_.reset();
    const int count = lines.lineCount();
    if (requiredText_.empty() || count == 0) {
        return;
    }
    // A stretch of the log on the side the search goes to.
    constexpr std::ptrdiff_t kSampleBytes = 256 * 1024;
    const char* logBegin = lines.Text(0).data();
    const std::string_view last = lines.Text(count - 1);
    const char* logEnd = last.data() + last.size();
    const char* at = lines.Text(std::clamp(caret.line, 0, count - 1)).data();
    std::string_view sample;
    if (searchBackward_) {
        const std::ptrdiff_t before = std::min(at - logBegin, kSampleBytes);
        sample = std::string_view(at - before, static_cast<std::size_t>(before));
    } else if (logEnd > at) {
        const std::ptrdiff_t after = std::min(logEnd - at, kSampleBytes);
        sample = std::string_view(at, static_cast<std::size_t>(after));
    }
    rareByte_.emplace(requiredBytes_, fold_, sample);
}

std::optional<SearchHit> LogSearch::SearchForwards(LineSource& lines, TextPosition caret) {
    const int count = lines.lineCount();
    // A caret left of the text (or above the first line) searches from the
    // start of its line.
    int n = std::max(caret.line, 0);
    int k = caret.line < 0 ? 0 : std::max(caret.column, 0);
    if (n >= count) {
        return std::nullopt;
    }
    // The lines lie one after another in memory: read them as one stretch
    // for the rare byte and go straight to the next line that holds it.
    std::optional<ForwardByteScan> scan;
    if (rareByte_ && !rareByte_->bytes().empty()) {
        const std::string_view last = lines.Text(count - 1);
        scan.emplace(*rareByte_, last.data() + last.size());
    }
    for (; n < count; ++n, k = 0) {
        if (scan) {
            const char* next = scan->Next(lines.Text(n).data());
            if (next == nullptr) {
                return std::nullopt;
            }
            const int holder = LineHolding(lines, n, count, next);
            if (holder != n) {
                n = holder;
                k = 0;
            }
        }
        // The scan has already found the rare byte on this line (or in its
        // line end, which then finds nothing here).
        const std::string_view line = lines.Text(n);
        if (!scan && !BytesMayHold(line)) {
            continue;
        }
        const std::string_view text = VisibleTextOf(lines, n, line);
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
        const std::string_view line = lines.Text(n);
        if (!BytesMayHold(line)) {
            continue;
        }
        const std::string_view text = VisibleTextOf(lines, n, line);
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

bool LogSearch::BytesMayHold(std::string_view line) const {
    return !rareByte_ || rareByte_->MayHold(line);
}

std::string_view LogSearch::VisibleTextOf(const LineSource& lines, int n, std::string_view raw) {
    // Without a caret the bytes are the visible text: search them in place.
    if (IsFreeOfCarets(raw)) {
        return raw;
    }
    // Which carets are codes depends on the stretch they stand in.
    return LineVisibleText(lines.Line(n), searchBuffer_);
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
