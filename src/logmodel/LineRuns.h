#pragma once

#include "LogLine.h"

#include <array>
#include <cstddef>

// A stretch of a line drawn with one kind: bytes [start, start + length). The
// text between and after segments is a run of kind Text.
struct LineRun {
    int start;
    int length;
    LineKind kind;

    int end() const { return start + length; }
};

// Eight segments, a gap before each and the tail after the last.
inline constexpr int kMaxRunsPerLine = 2 * kSegmentsPerLine + 1;

// A line cut into runs, in line order. The screen and the HTML copy share it.
class LineRuns {
public:
    explicit LineRuns(const LineView& line);

    const LineRun* begin() const { return runs_.data(); }
    const LineRun* end() const { return runs_.data() + count_; }
    int size() const { return count_; }
    const LineRun& operator[](int i) const { return runs_[static_cast<std::size_t>(i)]; }

private:
    void Add(int start, int length, LineKind kind);

    std::array<LineRun, kMaxRunsPerLine> runs_;
    int count_ = 0;
};

// True when the run is drawn with its colour codes applied and hidden. Gaps
// and the tail never are.
inline bool IsCaretColouredRun(const LineRun& run) {
    return TraitsOf(run.kind).codesApplied;
}
