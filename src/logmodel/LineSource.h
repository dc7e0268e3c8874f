#pragma once

#include "LineStore.h"
#include "LogLine.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

// The lines a search or a copy reads, by index. The lines of one source lie
// one after another in one block of memory, as the lines of a mapped file do,
// with their line ends between them.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual int lineCount() const = 0;
    // 0 <= i < lineCount(): the line with its segments.
    virtual LineView Line(int i) const = 0;
    // Only its bytes, which is all a byte search needs: as many as its
    // columns reach (a line longer than 2 GiB shows its first 2 GiB).
    virtual std::string_view Text(int i) const = 0;
    // Every byte of it, which is more than Text(i) only for a line longer
    // than its columns reach.
    virtual std::string_view WholeText(int i) const { return Text(i); }
    // The most bytes Text gives of a line: only a line whose Text is this
    // long may have more (WholeText).
    virtual std::size_t lineReach() const { return LineStore::kMaxLineBytes; }
    // Only its visible length, which a source may know without laying the
    // line's segments.
    virtual int VisibleLength(int i) const { return Line(i).visibleLength; }
    // The most columns a line of [first, end) shows, or `widest` when none
    // shows more. A line shows at most as many columns as it has bytes: only
    // one longer than the widest so far is laid out to see how many of its
    // bytes are codes.
    virtual int WidestVisible(int first, int end, int widest) const {
        for (int i = first; i < end; ++i) {
            if (static_cast<int>(Text(i).size()) > widest) {
                widest = std::max(widest, VisibleLength(i));
            }
        }
        return widest;
    }
    // The line's index in its log, for a source that shows some lines of a
    // log.
    virtual int LogLineIndex(int i) const { return i; }
    // Whether the lines lie one after another in memory, as a log's do; the
    // lines of a filtered list do not.
    virtual bool contiguous() const { return true; }
};
