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
        store_.Append(bytes_.data(), 0, static_cast<std::int64_t>(bytes_.size()));
        count_ = store_.lineCount();
        for (int i = 0; i < count_; ++i) {
            Lay(i, {});
        }
    }

    int lineCount() const override { return count_; }
    LineView Line(int i) const override {
        const LogLine& record = store_.Record(i);
        LineView view;
        view.text = bytes_.data() + record.offset;
        view.byteLength = record.byteLength;
        view.visibleLength = record.visibleLength;
        view.segments = record.segments;
        return view;
    }
    std::string_view Text(int i) const override { return Line(i).Text(); }
    LogLine& MutableLine(int i) { return store_.Line(i); }

    // Every line one stretch of `kind`: with a caret-coloured kind (a chat
    // text, say), every caret of the log is read as a code.
    void LayEveryLine(LineKind kind) {
        for (int i = 0; i < count_; ++i) {
            Lay(i, {{0, store_.Record(i).byteLength, kind}});
        }
    }

    void Lay(int i, const std::vector<Segment>& segments) {
        LogLine& line = store_.Line(i);
        for (LineSegment& segment : line.segments) {
            segment.SetEndMark();
        }
        for (std::size_t s = 0; s < segments.size(); ++s) {
            SetSegment(line.segments[s], segments[s].start, segments[s].length, segments[s].kind,
                       bytes_.data() + line.offset + segments[s].start);
        }
        ComputeVisiblePositions(line);
    }

private:
    std::string bytes_;
    LineStore store_;
    int count_ = 0;
};
