#include "LineRuns.h"

#include <algorithm>

LineRuns::LineRuns(const LineView& line) {
    const int lineEnd = std::max(line.byteLength, 0);
    int position = 0;
    int next = 0;
    while (position < lineEnd) {
        const bool segmentsLeft =
            next < kSegmentsPerLine &&
            line.segments[static_cast<std::size_t>(next)].kind() != LineKind::EndMark;
        if (!segmentsLeft) {
            Add(position, lineEnd - position, LineKind::Text);
            break;
        }
        const LineSegment& segment = line.segments[static_cast<std::size_t>(next)];
        if (segment.start() > position) {
            // Text no segment covers, up to the segment (never past the line).
            const int gapEnd = std::min(segment.start(), lineEnd);
            Add(position, gapEnd - position, LineKind::Text);
            position = gapEnd;
            continue;
        }
        // A segment never reaches past its line's end, even if a record says
        // otherwise: drawing and copying read its bytes.
        const int length = std::min(segment.length(), lineEnd - segment.start());
        Add(segment.start(), length, segment.kind());
        position = std::max(position, segment.start() + length);
        ++next;
    }
}

void LineRuns::Add(int start, int length, LineKind kind) {
    runs_[static_cast<std::size_t>(count_)] = LineRun{start, length, kind};
    ++count_;
}
