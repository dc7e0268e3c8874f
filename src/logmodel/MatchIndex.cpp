#include "MatchIndex.h"

#include "LineFeeds.h"
#include "LogModel.h"
#include "PlayerLines.h"
#include "SearchBudget.h"
#include "TextMatcher.h"

#include <algorithm>
#include <cstring>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/parallel_for.h>
#include <vector>

namespace {

// A batch is what one step of Scan reads before it looks at the clock: as
// much as the time left lets it read at the pace of the batches before,
// within these bounds. Its chunks are what the cores share.
constexpr std::int64_t kFewestBatchBytes = std::int64_t{1} << 20;
constexpr std::int64_t kMostBatchBytes = std::int64_t{16} << 20;
constexpr std::int64_t kChunkBytes = std::int64_t{512} << 10;
// The longest chunk copied out of the file rather than read in its view (a
// chunk is longer than kChunkBytes only to end with its last line).
constexpr std::int64_t kMostCopiedBytes = std::int64_t{4} << 20;

// Just past the LF that ends the line holding byte `at` (at < end), or `end`.
std::int64_t PastLineEnd(const char* base, std::int64_t at, std::int64_t end) {
    const auto* lf =
        static_cast<const char*>(std::memchr(base + at, '\n', static_cast<std::size_t>(end - at)));
    return lf == nullptr ? end : lf - base + 1;
}

// The offset just past the n-th LF from `from` on (n >= 1), or `end`.
std::int64_t PastLineFeeds(const char* base, std::int64_t from, std::int64_t end, int n) {
    std::int64_t at = from;
    for (int i = 0; i < n && at < end; ++i) {
        at = PastLineEnd(base, at, end);
    }
    return at;
}

// The line of the store that starts at byte `offset`, one of those from
// `first` up to `end`.
int LineStartingAt(const LineStore& lines, int first, int end, std::int64_t offset) {
    while (end - first > 1) {
        const int middle = first + (end - first) / 2;
        if (lines.Offset(middle) <= offset) {
            first = middle;
        } else {
            end = middle;
        }
    }
    return first;
}

} // namespace

class MatchIndex::Workers {
public:
    tbb::enumerable_thread_specific<TextMatcher::Scratch> scratch;
    // Where each thread copies the chunks it reads past the split lines.
    tbb::enumerable_thread_specific<std::vector<char>> copies;
};

// One chunk of a batch and what was found in it.
struct MatchIndex::Batch {
    std::int64_t from; // the file's bytes [from, to): whole lines
    std::int64_t to;
    int firstLine; // or -1 when not known
    int lines = 0;
    TextChunkResult text;
    std::vector<int> kinds;
};

MatchIndex::MatchIndex(LineFilter filter, IndexReach reach)
    : filter_(std::move(filter)), reach_(reach), workers_(std::make_unique<Workers>()) {
    if (filter_.text) {
        text_ = std::make_unique<TextMatcher>(*filter_.text, std::string_view());
    }
    if (filter_.player) {
        player_ = std::make_unique<PlayerLines>(filter_.player->guid);
    }
}

MatchIndex::~MatchIndex() = default;

bool MatchIndex::readsClassifiedOnly() const {
    return reach_ == IndexReach::ClassifiedLines || filter_.readsEvents();
}

void MatchIndex::Reset() {
    textHits_.Clear();
    kindHits_.Clear();
    playerHits_.Clear();
    hits_.Clear();
    scannedLines_ = 0;
    scannedBytes_ = 0;
    fileSizeSeen_ = -1;
    stop_ = IndexStop::None;
    if (filter_.player) {
        player_ = std::make_unique<PlayerLines>(filter_.player->guid);
    }
}

void MatchIndex::SetMarks(LineSet marks) {
    if (!filter_.marks) {
        return;
    }
    filter_.marks->lines = std::move(marks);
    hits_.Clear();
    Combine(0, scannedLines_, &textHits_, &kindHits_, &playerHits_);
}

ScanReport MatchIndex::Scan(const LogModel& model, std::chrono::steady_clock::duration slice) {
    if (reloads_ && *reloads_ != model.reloads()) {
        Reset();
    }
    reloads_ = model.reloads();
    ScanReport report;
    if (stop_ == IndexStop::TooMuchWork ||
        (stop_ == IndexStop::NeedsClassification && model.classifiedCount() <= scannedLines_)) {
        report.caughtUp = true;
        return report;
    }
    stop_ = IndexStop::None;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + slice;
    for (;;) {
        const auto start = Clock::now();
        const auto left = std::chrono::duration<double, std::micro>(deadline - start).count();
        const auto bytes = static_cast<std::int64_t>(bytesPerMicrosecond_ * std::max(left, 0.0));
        const std::int64_t before = scannedBytes_;
        if (!ScanBatch(model, report, std::clamp(bytes, kFewestBatchBytes, kMostBatchBytes)) ||
            stop_ != IndexStop::None) {
            report.caughtUp = true;
            break;
        }
        const auto took = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (took > 0 && scannedBytes_ > before) {
            bytesPerMicrosecond_ = static_cast<double>(scannedBytes_ - before) / took;
        }
        if (Clock::now() >= deadline) {
            break;
        }
    }
    return report;
}

void MatchIndex::ScanAll(const LogModel& model) {
    while (!Scan(model, std::chrono::hours(1)).caughtUp) {
    }
}

bool MatchIndex::CopyOut(const LogModel& model, std::int64_t from, std::int64_t to,
                         LineChunk& chunk) const {
    if (to - from > kMostCopiedBytes) {
        return false;
    }
    std::vector<char>& copy = workers_->copies.local();
    const auto length = static_cast<std::size_t>(to - from);
    copy.resize(std::max(copy.size(), length));
    const auto got = model.ReadAt(from, length, copy.data());
    if (!got || *got != length) {
        return false; // the view reads what the file no longer holds as zeros
    }
    chunk.begin = copy.data();
    chunk.end = copy.data() + length;
    return true;
}

bool MatchIndex::ScanBatch(const LogModel& model, ScanReport& report, std::int64_t batchBytes) {
    const std::string_view file = model.FileBytes();
    const char* base = file.data();
    // The lines the store has split are read by their numbers; past them
    // (WholeFile) the chunks count their own lines.
    const int split = readsClassifiedOnly() ? std::min(model.classifiedCount(), model.lineCount())
                                            : model.lineCount();
    const bool numbered = readsClassifiedOnly() || scannedLines_ < split;
    std::int64_t from = scannedBytes_;
    std::int64_t limit = 0;
    if (numbered) {
        if (scannedLines_ >= split) {
            return false;
        }
        from = model.lineStore().Offset(scannedLines_);
        limit = model.lineStore().Offset(split);
    } else {
        const auto size = static_cast<std::int64_t>(file.size());
        if (from >= size) {
            return false;
        }
        // Just past the file's last LF, looked for again only when the file
        // has grown.
        if (size != fileSizeSeen_) {
            const auto* lastLf = static_cast<const char*>(
                memrchr(base + from, '\n', static_cast<std::size_t>(size - from)));
            fileSizeSeen_ = size;
            lastLineEnd_ = lastLf == nullptr ? from : lastLf - base + 1;
        }
        limit = lastLineEnd_;
        if (from >= limit) {
            return false;
        }
    }

    // Chunks of whole lines.
    const std::int64_t batchEnd =
        std::min(limit, PastLineEnd(base, std::min(limit, from + batchBytes) - 1, limit));
    std::vector<Batch> chunks;
    int line = scannedLines_;
    for (std::int64_t at = from; at < batchEnd;) {
        const std::int64_t next =
            PastLineEnd(base, std::min(batchEnd, at + kChunkBytes) - 1, batchEnd);
        Batch work{at, next, -1, 0, {}, {}};
        if (numbered) {
            work.firstLine = line;
            line = LineStartingAt(model.lineStore(), line, split + 1, next);
            work.lines = line - work.firstLine;
        }
        chunks.push_back(std::move(work));
        at = next;
    }
    // Past the split lines nothing has read the file's pages yet, and this
    // pass reads them once: each chunk is copied out rather than read in the
    // view, which would cost a first touch of every page.
    tbb::parallel_for(std::size_t{0}, chunks.size(), [&, this](std::size_t i) {
        Batch& work = chunks[i];
        LineChunk chunk{base + work.from, base + work.to, work.firstLine};
        if (!numbered && !CopyOut(model, work.from, work.to, chunk)) {
            model.ReadAhead(work.from, work.to);
        }
        if (text_) {
            SearchBudget budget;
            budget.Start(nullptr);
            work.text = text_->Scan(model, chunk, workers_->scratch.local(), budget);
        } else if (work.firstLine < 0) {
            work.lines = static_cast<int>(CountLineFeeds(chunk.begin, chunk.end));
        }
        if (filter_.kinds) {
            for (int n = 0; n < work.lines; ++n) {
                if (filter_.kinds->kinds.Has(model.RecognisedEvent(work.firstLine + n))) {
                    work.kinds.push_back(n);
                }
            }
        }
    });

    // The chunks in order, up to the first that stopped.
    const int first = scannedLines_;
    int end = first;
    std::int64_t endByte = from;
    LineSet text;
    LineSet kinds;
    for (const Batch& work : chunks) {
        const int firstLine = end;
        int lines = text_ && work.firstLine < 0 ? work.text.lines : work.lines;
        std::int64_t chunkEndByte = work.to;
        if (text_ && work.text.stop != TextChunkResult::Stop::None) {
            lines = work.text.lines;
            chunkEndByte = PastLineFeeds(base, work.from, chunkEndByte, work.text.lines);
            stop_ = work.text.stop == TextChunkResult::Stop::TooMuchWork
                        ? IndexStop::TooMuchWork
                        : IndexStop::NeedsClassification;
        }
        for (const int hit : work.text.hits) {
            text.Add(firstLine + hit);
        }
        for (const int hit : work.kinds) {
            if (hit < lines) {
                kinds.Add(firstLine + hit);
            }
        }
        end = firstLine + lines;
        endByte = chunkEndByte;
        if (stop_ != IndexStop::None) {
            break;
        }
    }
    LineSet player;
    if (player_) {
        player_->Collect(model, first, end, player);
    }
    const int hitsBefore = hits_.Count();
    Combine(first, end, &text, &kinds, &player);
    textHits_ |= text;
    kindHits_ |= kinds;
    playerHits_ |= player;
    report.linesScanned += end - first;
    report.hitsAdded += hits_.Count() - hitsBefore;
    scannedLines_ = end;
    scannedBytes_ = endByte;
    return true;
}

// The hits among lines [first, end) from what each criterion found there.
void MatchIndex::Combine(int first, int end, const LineSet* text, const LineSet* kinds,
                         const LineSet* player) {
    LineSet range;
    range.AddRange(first, end);
    const auto apply = [&range](bool present, bool exclude, const LineSet& found) {
        if (!present) {
            return;
        }
        if (exclude) {
            range -= found;
        } else {
            range &= found;
        }
    };
    apply(filter_.text.has_value(), filter_.text && filter_.text->exclude, *text);
    apply(filter_.kinds.has_value(), filter_.kinds && filter_.kinds->exclude, *kinds);
    apply(filter_.player.has_value(), filter_.player && filter_.player->exclude, *player);
    if (filter_.marks) {
        apply(true, filter_.marks->exclude, filter_.marks->lines);
    }
    if (filter_.exclude) {
        range.FlipRange(first, end);
    }
    hits_ |= range;
}
