#pragma once

#include "LineFilter.h"
#include "LineSet.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

class LogModel;
class PlayerLines;
struct LineChunk;
class TextMatcher;

// How far an index may read a log.
enum class IndexReach {
    // The lines the store has split and the classification has reached: an
    // index for a window, whose line numbers are the view's.
    ClassifiedLines,
    // Every line the file's bytes hold, found by the index itself, past what
    // the store has split; a line whose visible text needs its
    // classification stops the scan until it is classified
    // (NeedsClassification). For a filter that reads no events (text and
    // marks only), where quarvelctl counts hits without splitting and
    // classifying the whole log first; a filter that reads events reads
    // classified lines whatever the reach.
    WholeFile,
};

// Why an index stopped before the end of what it may read.
enum class IndexStop {
    None,
    // A line's visible text needs its classification (WholeFile only):
    // classify up to and including scannedLines() and scan on.
    NeedsClassification,
    // The text's expression took too much work on these lines (the search's
    // budget ran out): the index stays where it is, and says so.
    TooMuchWork,
};

// What one call of Scan did.
struct ScanReport {
    int linesScanned = 0; // lines decided in this call
    int hitsAdded = 0;
    // True when the index has caught up: every line it may read now is
    // decided (or it stopped, see stop()). More lines (a growing log, the
    // classification moving on) make it false again at the next call.
    bool caughtUp = false;
};

// The set of lines of one log that match a filter (LineFilter.h), for the
// filtered pane, Find in all logs and `quarvelctl filter`.
//
// The index decides the lines of a log in order, from the first on:
// scannedLines() of them are decided, and hits() holds those that match. Each
// call of Scan decides more, for about the time it is given, and returns; a
// window calls it from a zero-length timer, so its event loop never waits
// longer than the slice (a few milliseconds; a single huge line, or an
// expression near its work budget, can take longer), and shows the hits
// found so far at once. Within a call the work is spread over every core
// (TBB): chunks of the log are scanned in parallel while the calling thread
// waits, so nothing else touches the log meanwhile and no lock is needed;
// between calls the index holds no thread, so the log may grow, be
// classified further or be reloaded. Everything else is read only on the
// calling thread.
//
// Growth and reload: a later Scan takes up the lines added since (the
// classification's and the file's); a reload of the log (LogModel::reloads())
// forgets every hit and starts again from the first line. Cancelling is
// stopping the calls: the index keeps what it found.
//
// Classification: kinds and players come from the classification, and a
// line's visible text (colour codes hidden in names and chat) does too, so
// with IndexReach::ClassifiedLines the index reads only classified lines,
// and classifiedCount() bounds scannedLines().
class MatchIndex {
public:
    // Compiles the filter's text as the search does; throws
    // boost::regex_error when it is empty, malformed or unsafe (the window
    // says "Bad regular expression supplied").
    explicit MatchIndex(LineFilter filter, IndexReach reach = IndexReach::ClassifiedLines);
    ~MatchIndex();
    MatchIndex(const MatchIndex&) = delete;
    MatchIndex& operator=(const MatchIndex&) = delete;

    // Decides more lines of `model` for about `slice`, on every core: at
    // least one batch (a megabyte of the log, or what is left), and as many
    // more as fit the slice at the pace of the last.
    ScanReport Scan(const LogModel& model, std::chrono::steady_clock::duration slice);
    // Scans until caught up or stopped.
    void ScanAll(const LogModel& model);

    // The matching lines among the decided ones.
    const LineSet& hits() const { return hits_; }
    // Lines 0 .. scannedLines() - 1 are decided.
    int scannedLines() const { return scannedLines_; }
    // The file's bytes those lines take: progress for a reach of WholeFile.
    std::int64_t scannedBytes() const { return scannedBytes_; }
    IndexStop stop() const { return stop_; }
    const LineFilter& filter() const { return filter_; }

    // New marks for the filter's mark criterion (ignored when it has none):
    // the hits are worked out again from what was found, nothing rescanned.
    void SetMarks(LineSet marks);
    // Forgets every hit; the next Scan starts from the first line.
    void Reset();

private:
    struct Batch;
    class Workers;

    // Decides one batch of about `batchBytes` of lines from where the index
    // stands; false when there is nothing to read now.
    bool ScanBatch(const LogModel& model, ScanReport& report, std::int64_t batchBytes);
    // Points `chunk` at a copy of the file's bytes [from, to) in the calling
    // thread's buffer; false when the chunk is too long to copy or the file
    // no longer holds it all (the view is read then).
    bool CopyOut(const LogModel& model, std::int64_t from, std::int64_t to, LineChunk& chunk) const;
    void Combine(int first, int end, const LineSet* text, const LineSet* kinds,
                 const LineSet* player);
    bool readsClassifiedOnly() const;

    LineFilter filter_;
    IndexReach reach_;
    std::unique_ptr<TextMatcher> text_;
    std::unique_ptr<PlayerLines> player_;
    std::unique_ptr<Workers> workers_;
    // What each criterion found over the decided lines, kept so that new
    // marks need no rescan.
    LineSet textHits_;
    LineSet kindHits_;
    LineSet playerHits_;
    LineSet hits_;
    int scannedLines_ = 0;
    std::int64_t scannedBytes_ = 0;
    // The file's size when its last line end was last looked for, and where
    // that line end is.
    std::int64_t fileSizeSeen_ = -1;
    std::int64_t lastLineEnd_ = 0;
    IndexStop stop_ = IndexStop::None;
    std::optional<int> reloads_;
    // The pace of the last batch, which sizes the next to the time left.
    double bytesPerMicrosecond_ = 0;
};
