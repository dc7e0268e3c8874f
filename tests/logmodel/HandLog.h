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
        LineKind kind;
    };

    explicit HandLog(std::string bytes) : bytes_(std::move(bytes)) {
        count_ = store_.Split(bytes_.data(), static_cast<std::int64_t>(bytes_.size()));
        for (int i = 0; i < count_; ++i) {
            Lay(i, {});
        }
    }

    int lineCount() const override { return count_; }
    const LogLine& Line(int i) override { return store_.Line(i); }
    LogLine& MutableLine(int i) { return store_.Line(i); }

    void Lay(int i, const std::vector<Segment>& segments) {
        LogLine& line = store_.Line(i);
        for (LineSegment& segment : line.segments) {
            segment.SetEndMark();
        }
        for (std::size_t s = 0; s < segments.size(); ++s) {
            SetSegment(line.segments[s], segments[s].start, segments[s].length, segments[s].kind,
                       line.text + segments[s].start);
        }
        ComputeVisiblePositions(line);
    }

private:
    std::string bytes_;
    LineStore store_;
    int count_ = 0;
};
