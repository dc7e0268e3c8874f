#include "LogSearch.h"

#include "ColourCodes.h"
#include "RareByteFilter.h"
#include "RegexGuard.h"
#include "RequiredLiteral.h"
#include "VisibleText.h"

#include <algorithm>
#include <string_view>

namespace {

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
Message LineTooLong(int line) {
    return {"The search stopped at line " + std::to_string(line + 1) +
                ": it cannot read past the first 2 GiB of a line, and the rest of this one may "
                "hold a match.",
            kApplicationTitle, MessageIcon::Warning};
}
Message TooMuchWork() {
    return {"The search was stopped: the expression takes too much work on these lines. Please "
            "try a simpler one.",
            "Error", MessageIcon::Error};
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
    if (!hit && stop_ == SearchStop::None) {
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
                stop_ = SearchStop::None;
                messages.Show(NoMoreMatches());
                return {caret, std::nullopt};
            }
        }
    }
    auto hit = FindFromCaret(lines, caret, messages);
    if (!hit && stop_ == SearchStop::None) {
        messages.Show(NoMoreMatches());
    }
    return {caret, hit};
}

void LogSearch::Compile(std::string_view text, bool regExp, bool caseSensitive) {
    usable_ = false;
    literal_ = !regExp;
    bufferedLine_ = nullptr;
    sampledAt_ = nullptr;
    requiredText_.clear();
    requiredBytes_.clear();
    rareByte_.reset();
    quickLook_.reset();
    searchRegex_ = boost::regex();

    searchRegex_ = CompileSearchExpression(text, regExp, caseSensitive);
    usable_ = true;

    if (regExp) {
        RequiredText required = FindRequiredText(text);
        requiredText_ = std::move(required.longest);
        requiredBytes_ = std::move(required.everyByte);
    } else {
        requiredText_ = text;
        requiredBytes_ = text;
    }
    if (!requiredBytes_.empty()) {
        fold_ = caseSensitive ? IdentityFold() : CaseFoldOf(searchRegex_);
    }
    if (!requiredText_.empty()) {
        quickLook_.emplace(requiredText_, fold_);
    }
    neededBytes_.reset();
    rawCheckedLine_ = nullptr;
    forwardScan_.reset();
    for (const char c : requiredBytes_) {
        neededBytes_.set(fold_[static_cast<unsigned char>(c)]);
    }
}

std::optional<SearchHit> LogSearch::FindFromCaret(LineSource& lines, TextPosition caret,
                                                  MessageSink& messages) {
    stop_ = SearchStop::None;
    // An expression that never compiled matches nothing on any line.
    if (!usable_) {
        return std::nullopt;
    }
    budget_.Start(progress_);
    lineReach_ = lines.lineReach();
    try {
        ChooseRareByte(lines, caret);
        return searchBackward_ ? SearchBackwards(lines, caret) : SearchForwards(lines, caret);
    } catch (const SearchInterrupted& interrupted) {
        stop_ = interrupted.why();
    } catch (const std::runtime_error& error) {
        if (!IsComplexityLimit(error)) {
            messages.Show(SearchError());
            return std::nullopt;
        }
        stop_ = SearchStop::TooMuchWork;
    } catch (...) {
        messages.Show(SearchError());
        return std::nullopt;
    }
    // The user who cancelled knows why nothing was found.
    if (stop_ == SearchStop::TooMuchWork) {
        messages.Show(TooMuchWork());
    } else if (stop_ == SearchStop::LineTooLong) {
        messages.Show(LineTooLong(stoppedAtLine_));
    }
    return std::nullopt;
}

void LogSearch::ChooseRareByte(LineSource& lines, TextPosition caret) {
    rareByte_.reset();
    const int count = lines.lineCount();
    if (requiredBytes_.empty() || count == 0) {
        return;
    }
    // A stretch of the log on the side the search goes to.
    constexpr std::ptrdiff_t kSampleBytes = 256 * 1024;
    const char* logBegin = lines.Text(0).data();
    const std::string_view last = lines.Text(count - 1);
    const char* logEnd = last.data() + last.size();
    const char* at = lines.Text(std::clamp(caret.line, 0, count - 1)).data();
    // The same place as the last search: the same sample, the same choice.
    if (at == sampledAt_ && searchBackward_ == sampledBackwards_ && rareByteChosen_) {
        rareByte_ = rareByteChosen_;
        return;
    }
    std::string_view sample;
    if (searchBackward_) {
        const std::ptrdiff_t before = std::min(at - logBegin, kSampleBytes);
        sample = std::string_view(at - before, static_cast<std::size_t>(before));
    } else if (logEnd > at) {
        const std::ptrdiff_t after = std::min(logEnd - at, kSampleBytes);
        sample = std::string_view(at, static_cast<std::size_t>(after));
    }
    rareByte_.emplace(requiredBytes_, fold_, sample);
    rareByteChosen_ = rareByte_;
    sampledAt_ = at;
    sampledBackwards_ = searchBackward_;
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
    // Kept for the searches after this one: Find next over the rest of a
    // long line reads on from where this one stopped.
    std::optional<ForwardByteScan>& scan = forwardScan_;
    if (rareByte_ && !rareByte_->bytes().empty()) {
        const std::string_view last = lines.WholeText(count - 1);
        const char* end = last.data() + last.size();
        if (!scan || scan->end() != end || scan->bytes() != rareByte_->bytes()) {
            scan.emplace(*rareByte_, end);
        }
    } else {
        scan.reset();
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
        if (auto hit = SearchLineFrom(lines, n, line, k, !scan)) {
            return hit;
        }
        if (line.size() >= lineReach_) {
            StopAtUnreadRest(lines, n, line, k);
        }
    }
    return std::nullopt;
}

std::optional<SearchHit> LogSearch::SearchLineFrom(LineSource& lines, int n, std::string_view line,
                                                   int k, bool lookForRareByte) {
    if (lookForRareByte && !BytesMayHold(line)) {
        return std::nullopt;
    }
    if (!RawMayHold(line)) {
        return std::nullopt;
    }
    const std::string_view text = VisibleTextOf(lines, n, line);
    const int m = static_cast<int>(text.size());
    if (k > m || !MayHold(text.substr(static_cast<std::size_t>(k)))) {
        return std::nullopt;
    }
    budget_.AllowLine(text.size());
    if (const auto match = FirstMatch(text, k, m)) {
        return SearchHit{n, match->first, match->end - 1};
    }
    return std::nullopt;
}

void LogSearch::StopAtUnreadRest(LineSource& lines, int n, std::string_view line, int from) {
    const std::string_view whole = lines.WholeText(n);
    if (whole.size() <= line.size()) {
        return;
    }
    // A plain text's match is the text itself, so one that reaches past the
    // part searched starts less than its length before that part's end; a
    // regular expression's may start anywhere. A line this long holds no
    // event, so its bytes are what it shows.
    std::size_t start =
        static_cast<std::size_t>(std::clamp(from, 0, static_cast<int>(line.size())));
    if (literal_) {
        start = std::max(start, line.size() - std::min(line.size(), requiredText_.size() - 1));
    }
    const std::string_view rest = whole.substr(start);
    if (BytesMayHold(rest) && MayHold(rest)) {
        stoppedAtLine_ = n;
        throw SearchInterrupted(SearchStop::LineTooLong);
    }
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
        // The hit with the greatest start might lie past what the search
        // reads of the line; on the caret's line that part is right of it.
        if (!onCaretLine && line.size() >= lineReach_) {
            StopAtUnreadRest(lines, n, line, 0);
        }
        if (!BytesMayHold(line) || !RawMayHold(line)) {
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
        budget_.AllowLine(text.size());
        // The hit with the greatest start: search again from one past each
        // hit's start; every search ends at the limit, so every hit does.
        // A plain text's last hit is simply its last place before the limit.
        std::optional<Span> last;
        if (literal_) {
            last = LastLiteralHit(text, limit);
            if (last) {
                return SearchHit{n, last->first, last->end - 1};
            }
            continue;
        }
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

bool LogSearch::RawMayHold(std::string_view line) {
    // A line without a caret is its own visible text, which the quick look
    // checks well enough; a line with one costs a layout to get its visible
    // text, which holds no byte its line does not. A line that lacks a byte
    // every match holds is ruled out before that.
    if (neededBytes_.none()) {
        return true;
    }
    // The searches after a hit ask about the same line again.
    if (line.data() == rawCheckedLine_ && line.size() == rawCheckedLength_) {
        return rawCheckPassed_;
    }
    rawCheckedLine_ = line.data();
    rawCheckedLength_ = line.size();
    rawCheckPassed_ = true;
    if (IsFreeOfCarets(line)) {
        return true;
    }
    std::bitset<256> present;
    for (const char c : line) {
        present.set(fold_[static_cast<unsigned char>(c)]);
    }
    rawCheckPassed_ = (neededBytes_ & ~present).none();
    return rawCheckPassed_;
}

bool LogSearch::BytesMayHold(std::string_view line) const {
    return !rareByte_ || rareByte_->MayHold(line);
}

std::string_view LogSearch::VisibleTextOf(const LineSource& lines, int n, std::string_view raw) {
    if (raw.data() == bufferedLine_ && static_cast<int>(raw.size()) == bufferedLength_) {
        return bufferedText_;
    }
    // Without a caret the bytes are the visible text: search them in place.
    // Which carets are codes depends on the stretch they stand in.
    bufferedText_ = IsFreeOfCarets(raw) ? raw : LineVisibleText(lines.Line(n), searchBuffer_);
    bufferedLine_ = raw.data();
    bufferedLength_ = static_cast<int>(raw.size());
    return bufferedText_;
}

std::optional<LogSearch::Span> LogSearch::LastLiteralHit(std::string_view text, int limit) {
    const auto length = static_cast<int>(requiredText_.size());
    const std::string& folded = quickLook_->foldedLiteral();
    for (int a = limit - length; a >= 0; --a) {
        budget_.Spend();
        int i = 0;
        while (i < length &&
               fold_[static_cast<unsigned char>(text[static_cast<std::size_t>(a + i)])] ==
                   static_cast<unsigned char>(folded[static_cast<std::size_t>(i)])) {
            ++i;
        }
        // The engine confirms the place, so hits are its hits.
        if (i == length) {
            if (const auto match = FirstMatch(text, a, limit); match && match->first == a) {
                return match;
            }
        }
    }
    return std::nullopt;
}

bool LogSearch::MayHold(std::string_view text) const {
    return !quickLook_ || quickLook_->OccursIn(text);
}

std::optional<LogSearch::Span> LogSearch::FirstMatch(std::string_view text, int from, int to) {
    static constexpr char kEmptyLine[] = "";
    const char* base = text.empty() ? kEmptyLine : text.data();
    boost::match_results<BudgetedIterator> match;
    // Each search takes its own start for the start of a line.
    if (!boost::regex_search(BudgetedIterator(base + from, &budget_),
                             BudgetedIterator(base + to, &budget_), match, searchRegex_,
                             boost::match_default)) {
        return std::nullopt;
    }
    return Span{static_cast<int>(match[0].first.get() - base),
                static_cast<int>(match[0].second.get() - base)};
}
