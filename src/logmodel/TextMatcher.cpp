#include "TextMatcher.h"

#include "CaretCodes.h"
#include "ColourCodes.h"
#include "LineFeeds.h"
#include "LogModel.h"
#include "RegexGuard.h"
#include "RequiredLiteral.h"
#include "ScanPattern.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <hs/hs.h>

namespace {

// The ids of the patterns the engine runs.
enum PatternId : unsigned {
    kTolerant = 0,  // the text, or colour codes in it
    kInnerCr = 1,   // a CR inside a line: Boost.Regex reads such a line
    kExact = 2,     // the text itself, where it starts
    kCodeStart = 3, // and on: where a code may begin inside a match (CodeStart)
};

// The longest line the tolerant form is tried on before its visible text is:
// a log's lines are far shorter, and on a longer one a backtracking
// expression could cost more than the visible text's search, which has the
// search's budget.
constexpr std::size_t kLongestTolerantLine = std::size_t{4} << 10;

// Spans of a match are short: a plain loop beats a library call.
bool HasCaret(const char* from, const char* to) {
    for (; from < to; ++from) {
        if (*from == kCaret) {
            return true;
        }
    }
    return false;
}

// The line that starts at `start`, without its LF and a CR right before it,
// and whether it holds a caret.
struct ChunkLine {
    std::string_view bytes;
    bool caret;
    const char* lf; // its LF, or the chunk's end
};
ChunkLine LineAt(const char* start, const char* end) {
    const LineEnd found = FindLineEnd(start, end);
    const char* stop = found.lf;
    if (stop > start && stop[-1] == '\r') {
        --stop;
    }
    return {{start, static_cast<std::size_t>(stop - start)}, found.caret, found.lf};
}

// A line's visible text: its own bytes unless a stretch of it hides codes.
std::string_view VisibleOf(const LineView& line, std::string& buffer) {
    for (const LineSegment& segment : line.segments) {
        if (segment.kind() == LineKind::EndMark) {
            break;
        }
        if (IsColourCodedKind(segment)) {
            return LineVisibleText(line, buffer);
        }
    }
    return line.Text();
}

// The number of the chunk's n-th line, or -1 when not known.
int LineNumber(const LineChunk& chunk, int n) {
    return chunk.firstLine < 0 ? -1 : chunk.firstLine + n;
}

// Capital ASCII letters as small ones, every other byte as itself.
ByteFold AsciiFold() {
    ByteFold fold = IdentityFold();
    for (int c = 'A'; c <= 'Z'; ++c) {
        fold[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 'A' + 'a');
    }
    return fold;
}

} // namespace

// The compiled database of the engine, when the text translated, and how a
// match shows that no caret lies in it or just before it (it is clean).
class TextMatcher::Engine {
public:
    // Where the text has the form for it, the exact pattern beside where a
    // code may begin inside a match (ScanPatterns::codeStarts): literals the
    // engine compiles in a moment and scans at memory speed, where the
    // tolerant pattern, a caret possible after every byte, takes tens of
    // milliseconds to compile and several times as long to scan. A line with
    // an exact match that is not clean, or a code start whose codes go on
    // with what the match may go on with, is then tried on the tolerant form
    // by Boost.Regex, and only one that holds it needs its visible text.
    //
    // Otherwise a plain text: its tolerant pattern alone, as a clean match of
    // it is the text's own bytes, which end where it ends. An expression: its
    // exact pattern, which tells where its matches start, beside the
    // tolerant one; when an expression cannot tell (or compile so), no match
    // is taken for clean. (Starts of the tolerant pattern itself cost some
    // expressions many times their scan.)
    static std::unique_ptr<Engine> Compile(const ScanPatterns& patterns, bool plainText,
                                           std::size_t textLength) {
        auto engine = std::unique_ptr<Engine>(new Engine);
        if (patterns.codeStarts && engine->BuildSplit(patterns, plainText)) {
            engine->textLength_ = textLength;
            engine->clean_ = plainText ? Clean::ByLength : Clean::ByStart;
            engine->lengthId_ = kExact;
            engine->tolerant_.emplace(patterns.tolerant, boost::regex::perl);
            return engine;
        }
        if (plainText) {
            engine->textLength_ = textLength;
            engine->clean_ = Clean::ByLength;
            if (!engine->Build({patterns.tolerant}, 0)) {
                return nullptr;
            }
            return engine;
        }
        engine->clean_ = Clean::ByStart;
        if (!engine->Build({patterns.tolerant, patterns.exact}, HS_FLAG_SOM_LEFTMOST)) {
            engine->clean_ = Clean::Never;
            if (!engine->Build({patterns.tolerant}, 0)) {
                return nullptr;
            }
        }
        return engine;
    }
    ~Engine() { hs_free_database(database_); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    const hs_database_t* database() const { return database_; }

    // True when the tolerant form is left to TolerantMayHold: the scan
    // finds exact matches and code starts.
    bool split() const { return tolerant_.has_value(); }

    // Whether the codes that begin with the caret at `caret` (a match of the
    // code start `id`) may end where the match goes on: some run of codes and
    // lone carets from there (CaretCodes.h) is followed by a byte the match
    // may take next.
    bool CodesGoOn(unsigned id, const char* caret, const char* end) const {
        const std::bitset<256>& next = codeStartNext_[id - kCodeStart];
        // Whether a run of codes may start at `at`, at `at + 1`, at `at + 2`.
        bool here = true;
        bool ahead = false;
        bool twoAhead = false;
        for (const char* at = caret; at < end && (here || ahead); ++at) {
            const auto byte = static_cast<unsigned char>(*at);
            if (here && at != caret && next[byte]) {
                return true;
            }
            if (here && byte == '^') {
                ahead = true; // a lone caret
                if (at + 1 < end && at[1] != '^' && at[1] != '\n') {
                    twoAhead = true; // a code
                }
            }
            here = ahead;
            ahead = twoAhead;
            twoAhead = false;
        }
        return false;
    }

    // Whether the line's bytes may hold the tolerant form; true when the
    // quick look cannot tell (a long line, an expression Boost.Regex gives up
    // on), which leaves the line to its visible text.
    bool TolerantMayHold(std::string_view line) const {
        if (line.size() > kLongestTolerantLine) {
            return true;
        }
        try {
            return boost::regex_search(line.begin(), line.end(), *tolerant_);
        } catch (const std::runtime_error&) {
            return true;
        }
    }

    // Whether the match [from, to) of pattern `id` in a line that starts at
    // `lineStart` (offsets in the chunk) is clean; nothing when it says
    // nothing either way.
    bool IsClean(unsigned id, long long from, long long to, long long lineStart,
                 const char* chunk) const {
        long long start = 0;
        if (clean_ == Clean::ByLength && id == lengthId_) {
            start = to - static_cast<long long>(textLength_) - 1;
        } else if (clean_ == Clean::ByStart && id == kExact) {
            start = from - 1;
        } else {
            return false;
        }
        return !HasCaret(chunk + std::max(start, lineStart), chunk + to);
    }

private:
    enum class Clean { Never, ByLength, ByStart };

    Engine() = default;

    // The exact pattern (with where its matches start for an expression),
    // the CRs, and where codes may begin inside a match.
    bool BuildSplit(const ScanPatterns& patterns, bool plainText) {
        std::vector<const char*> expressions = {patterns.exact.c_str(), "\\r[^\\n]"};
        std::vector<unsigned> flags = {plainText ? 0u : unsigned{HS_FLAG_SOM_LEFTMOST}, 0u};
        std::vector<unsigned> ids = {kExact, kInnerCr};
        for (const CodeStart& start : *patterns.codeStarts) {
            expressions.push_back(start.pattern.c_str());
            flags.push_back(0);
            ids.push_back(kCodeStart + static_cast<unsigned>(codeStartNext_.size()));
            codeStartNext_.push_back(start.next);
        }
        return CompileDatabase(expressions, flags, ids);
    }

    // The patterns with ids kTolerant, then kExact, and the one of CRs.
    bool Build(const std::vector<std::string>& text, unsigned exactFlags) {
        std::vector<const char*> expressions = {text[0].c_str(), "\\r[^\\n]"};
        std::vector<unsigned> flags = {0, 0};
        std::vector<unsigned> ids = {kTolerant, kInnerCr};
        if (text.size() > 1) {
            expressions.push_back(text[1].c_str());
            flags.push_back(exactFlags);
            ids.push_back(kExact);
        }
        return CompileDatabase(expressions, flags, ids);
    }

    bool CompileDatabase(const std::vector<const char*>& expressions,
                         const std::vector<unsigned>& flags, const std::vector<unsigned>& ids) {
        hs_compile_error_t* error = nullptr;
        if (hs_compile_multi(expressions.data(), flags.data(), ids.data(),
                             static_cast<unsigned>(expressions.size()), HS_MODE_BLOCK, nullptr,
                             &database_, &error) != HS_SUCCESS) {
            hs_free_compile_error(error);
            database_ = nullptr;
            return false;
        }
        return true;
    }

    hs_database_t* database_ = nullptr;
    Clean clean_ = Clean::Never;
    unsigned lengthId_ = kTolerant; // whose matches end where the text does
    std::size_t textLength_ = 0;
    // The tolerant form for Boost.Regex, when the scan leaves it to it.
    std::optional<boost::regex> tolerant_;
    // What the match may go on with after each code start (by its id).
    std::vector<std::bitset<256>> codeStartNext_;
};

// What the engine found in one line.
struct TextMatcher::LineFlags {
    bool match = false;
    bool clean = false;   // a match with no caret in it or just before it
    bool suspect = false; // a code may lie inside a match
    bool innerCr = false;
};

TextMatcher::Scratch::~Scratch() {
    hs_free_scratch(engine_);
}

TextMatcher::TextMatcher(const TextCriterion& criterion, std::string_view sample)
    : expression_(
          CompileSearchExpression(criterion.text, criterion.regExp, criterion.caseSensitive)) {
    fold_ = criterion.caseSensitive ? IdentityFold() : CaseFoldOf(expression_);
    // The translation folds case as the C locale does; another fold leaves
    // the text to Boost.Regex.
    const bool asciiFold = criterion.caseSensitive || fold_ == AsciiFold();
    if (asciiFold) {
        if (const auto patterns =
                TranslateForScan(criterion.text, criterion.regExp, criterion.caseSensitive)) {
            // A text without anchors or look-arounds that matches the empty
            // text matches it anywhere: every line.
            everyLine_ = boost::regex_search(std::string(), expression_);
            if (!everyLine_) {
                engine_ = Engine::Compile(*patterns, !criterion.regExp, criterion.text.size());
            }
        }
    }
    std::string requiredText;
    std::string requiredBytes;
    if (criterion.regExp) {
        RequiredText required = FindRequiredText(criterion.text);
        requiredText = std::move(required.longest);
        requiredBytes = std::move(required.everyByte);
    } else {
        requiredText = criterion.text;
        requiredBytes = criterion.text;
    }
    for (const char c : requiredBytes) {
        neededBytes_.set(fold_[static_cast<unsigned char>(c)]);
    }
    if (!requiredBytes.empty()) {
        rareByte_.emplace(requiredBytes, fold_, sample);
    }
    if (!requiredText.empty()) {
        quickLook_.emplace(requiredText, fold_);
    }
}

TextMatcher::~TextMatcher() = default;

bool TextMatcher::MatchesVisible(std::string_view visible, SearchBudget& budget) const {
    if (quickLook_ && !quickLook_->OccursIn(visible)) {
        return false;
    }
    budget.AllowLine(visible.size());
    static constexpr char kEmptyLine[] = "";
    const char* base = visible.empty() ? kEmptyLine : visible.data();
    boost::match_results<BudgetedIterator> match;
    return boost::regex_search(BudgetedIterator(base, &budget),
                               BudgetedIterator(base + visible.size(), &budget), match, expression_,
                               boost::match_default);
}

bool TextMatcher::RawMayHold(std::string_view bytes) const {
    if (rareByte_ && !rareByte_->MayHold(bytes)) {
        return false;
    }
    if (neededBytes_.none()) {
        return true;
    }
    std::bitset<256> present;
    for (const char c : bytes) {
        present.set(fold_[static_cast<unsigned char>(c)]);
    }
    return (neededBytes_ & ~present).none();
}

std::optional<bool> TextMatcher::DecideExactly(const LogModel& model, int line,
                                               std::string_view bytes, bool hasCaret,
                                               Scratch& scratch, SearchBudget& budget) const {
    if (!hasCaret) {
        return MatchesVisible(bytes, budget);
    }
    // A line holds every byte its visible text shows.
    if (!RawMayHold(bytes)) {
        return false;
    }
    if (line < 0 || line >= model.classifiedCount() || line >= model.lineCount()) {
        return std::nullopt;
    }
    return MatchesVisible(VisibleOf(model.Line(line), scratch.visible_), budget);
}

TextChunkResult TextMatcher::Scan(const LogModel& model, LineChunk chunk, Scratch& scratch,
                                  SearchBudget& budget) const {
    if (everyLine_) {
        TextChunkResult result;
        result.lines = static_cast<int>(CountLineFeeds(chunk.begin, chunk.end));
        for (int i = 0; i < result.lines; ++i) {
            result.hits.push_back(i);
        }
        return result;
    }
    try {
        if (engine_ && chunk.end - chunk.begin <= static_cast<std::ptrdiff_t>(UINT_MAX)) {
            return ScanWithEngine(model, chunk, scratch, budget);
        }
        return ScanLineByLine(model, chunk, scratch, budget);
    } catch (const SearchInterrupted&) {
        TextChunkResult result;
        result.stop = TextChunkResult::Stop::TooMuchWork;
        return result;
    } catch (const std::runtime_error& error) {
        if (!IsComplexityLimit(error)) {
            throw;
        }
        TextChunkResult result;
        result.stop = TextChunkResult::Stop::TooMuchWork;
        return result;
    }
}

TextChunkResult TextMatcher::ScanWithEngine(const LogModel& model, LineChunk chunk,
                                            Scratch& scratch, SearchBudget& budget) const {
    const hs_database_t* database = engine_->database();
    if (hs_alloc_scratch(database, &scratch.engine_) != HS_SUCCESS) {
        return ScanLineByLine(model, chunk, scratch, budget);
    }
    auto& matches = scratch.matches_;
    matches.clear();
    const auto onMatch = [](unsigned id, unsigned long long from, unsigned long long to, unsigned,
                            void* context) -> int {
        static_cast<std::vector<Scratch::Match>*>(context)->push_back({from, to, id});
        return 0;
    };
    if (hs_scan(database, chunk.begin, static_cast<unsigned>(chunk.end - chunk.begin), 0,
                scratch.engine_, onMatch, &matches) != HS_SUCCESS) {
        return ScanLineByLine(model, chunk, scratch, budget);
    }
    const auto byEnd = [](const Scratch::Match& a, const Scratch::Match& b) { return a.to < b.to; };
    if (!std::is_sorted(matches.begin(), matches.end(), byEnd)) {
        std::stable_sort(matches.begin(), matches.end(), byEnd);
    }

    TextChunkResult result;
    // Where the walk over the chunk's lines is: `line` lines lie before
    // `at`, and the line `at` is in starts at `lineStart`.
    const char* at = chunk.begin;
    const char* lineStart = chunk.begin;
    int line = 0;
    int flagged = -1; // the line `flags` belongs to
    const char* flaggedStart = nullptr;
    LineFlags flags;

    // Decides the flagged line; false when the scan must stop at it.
    const auto decide = [&]() -> bool {
        const ChunkLine found = LineAt(flaggedStart, chunk.end);
        const std::string_view bytes = found.bytes;
        const bool hasCaret = found.caret;
        std::optional<bool> hit;
        if (flags.innerCr) {
            hit =
                DecideExactly(model, LineNumber(chunk, flagged), bytes, hasCaret, scratch, budget);
        } else if (!hasCaret) {
            hit = flags.match; // without a caret the pattern is the text
        } else if (flags.clean) {
            hit = true;
        } else if (!flags.match && !flags.suspect) {
            hit = false;
        } else if (engine_->split() && !engine_->TolerantMayHold(bytes)) {
            hit = false;
        } else {
            hit =
                DecideExactly(model, LineNumber(chunk, flagged), bytes, hasCaret, scratch, budget);
        }
        if (!hit) {
            result.lines = flagged;
            result.stop = TextChunkResult::Stop::NeedsClassification;
            return false;
        }
        if (*hit) {
            result.hits.push_back(flagged);
        }
        return true;
    };

    for (const Scratch::Match& match : matches) {
        const char* last = chunk.begin + match.to - 1; // matches take at least a byte
        if (const auto feeds = static_cast<int>(CountLineFeeds(at, last)); feeds > 0) {
            line += feeds;
            lineStart = LastLineFeed(at, last) + 1;
        }
        at = last;
        if (line != flagged) {
            if (flagged >= 0 && !decide()) {
                return result;
            }
            flagged = line;
            flaggedStart = lineStart;
            flags = {};
        }
        if (match.id == kInnerCr) {
            flags.innerCr = true;
            continue;
        }
        if (match.id >= kCodeStart) {
            flags.suspect = flags.suspect ||
                            engine_->CodesGoOn(match.id, chunk.begin + match.to - 1, chunk.end);
            continue;
        }
        flags.match = true; // the tolerant form's match, or an exact one, which is one too
        flags.clean = flags.clean || engine_->IsClean(match.id, static_cast<long long>(match.from),
                                                      static_cast<long long>(match.to),
                                                      lineStart - chunk.begin, chunk.begin);
    }
    if (flagged >= 0 && !decide()) {
        return result;
    }
    result.lines = line + static_cast<int>(CountLineFeeds(at, chunk.end));
    return result;
}

TextChunkResult TextMatcher::ScanLineByLine(const LogModel& model, LineChunk chunk,
                                            Scratch& scratch, SearchBudget& budget) const {
    TextChunkResult result;
    int line = 0;
    for (const char* start = chunk.begin; start < chunk.end; ++line) {
        const ChunkLine found = LineAt(start, chunk.end);
        const std::string_view bytes = found.bytes;
        start = found.lf + 1;
        if (!RawMayHold(bytes)) {
            continue;
        }
        const bool hasCaret = found.caret;
        const auto hit =
            DecideExactly(model, LineNumber(chunk, line), bytes, hasCaret, scratch, budget);
        if (!hit) {
            result.lines = line;
            result.stop = TextChunkResult::Stop::NeedsClassification;
            return result;
        }
        if (*hit) {
            result.hits.push_back(line);
        }
    }
    result.lines = line;
    return result;
}
