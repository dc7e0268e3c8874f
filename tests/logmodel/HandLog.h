#pragma once

#include "ColourCodes.h"
#include "LineSource.h"
#include "LineStore.h"

#include <string>
#include <vector>

// A log held in memory and split into lines as a loaded file is, with the
// segments of its lines laid by hand (none until Lay is called).
class HandLog final : public LineSource {
public:
    struct Segment {
        int start;
        int length;
        int kind; // the kind's number
    };

    explicit HandLog(std::string bytes) : bytes_(std::move(bytes)) {
        LineStore store;
        store.Append(bytes_.data(), 0, static_cast<std::int64_t>(bytes_.size()));
        lines_.resize(static_cast<std::size_t>(store.lineCount()));
        for (int i = 0; i < store.lineCount(); ++i) {
            LineView& line = lines_[static_cast<std::size_t>(i)];
            line.text = bytes_.data() + store.Offset(i);
            line.byteLength = store.ByteLength(i);
            Lay(i, {});
        }
    }

    int lineCount() const override { return static_cast<int>(lines_.size()); }
    LineView Line(int i) const override { return lines_[static_cast<std::size_t>(i)]; }
    std::string_view Text(int i) const override { return Line(i).Text(); }
    LineView& MutableLine(int i) { return lines_[static_cast<std::size_t>(i)]; }

    // Every line one stretch of `kind`: with a caret-coloured kind (a chat
    // text, say), every caret of the log is read as a code.
    void LayEveryLine(LineKind kind) {
        for (int i = 0; i < lineCount(); ++i) {
            Lay(i, {{0, Line(i).byteLength, KindNumber(kind)}});
        }
    }

    void Lay(int i, const std::vector<Segment>& segments) {
        LineView& line = MutableLine(i);
        for (LineSegment& segment : line.segments) {
            segment.SetEndMark();
        }
        for (std::size_t s = 0; s < segments.size(); ++s) {
            SetSegment(line.segments[s], segments[s].start, segments[s].length,
                       static_cast<LineKind>(segments[s].kind), line.text + segments[s].start);
        }
        ComputeVisiblePositions(line);
    }

private:
    std::string bytes_;
    std::vector<LineView> lines_;
};
