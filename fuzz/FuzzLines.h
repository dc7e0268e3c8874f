#pragma once

#include "ColourCodes.h"
#include "LineSource.h"
#include "LineStore.h"

#include <string>

// Fuzzed bytes split into lines as a loaded file is, each line one segment
// of a kind whose codes are measured as hidden (so columns skip codes).
class FuzzLines final : public LineSource {
public:
    explicit FuzzLines(std::string bytes) : bytes_(std::move(bytes)) {
        count_ = store_.Split(bytes_.data(), static_cast<std::int64_t>(bytes_.size()));
        for (int i = 0; i < count_; ++i) {
            LogLine& line = store_.Line(i);
            for (LineSegment& segment : line.segments) {
                segment.SetEndMark();
            }
            if (line.byteLength > 0 && line.byteLength < 4096) {
                SetSegment(line.segments[0], 0, line.byteLength, MeasuredKind(), line.text);
            }
            ComputeVisiblePositions(line);
        }
    }

    int lineCount() const override { return count_; }
    const LogLine& Line(int i) override { return store_.Line(i); }

    static LineKind MeasuredKind() {
        static const LineKind kind = [] {
            for (int k = 0; k < 255; ++k) {
                if (IsCaretMeasuredKind(static_cast<LineKind>(k))) {
                    return static_cast<LineKind>(k);
                }
            }
            return LineKind{0};
        }();
        return kind;
    }

private:
    std::string bytes_;
    LineStore store_;
    int count_ = 0;
};
