#pragma once

#include "ColourCodes.h"
#include "LineSource.h"
#include "LineStore.h"

#include <string>

// Fuzzed bytes split into lines as a loaded file is, each line cut into up to
// three stretches (where it fits the packed records) of kinds that hide their
// codes and kinds that show their carets, chosen from the line's own bytes,
// so that columns are read both ways.
class FuzzLines final : public LineSource {
public:
    explicit FuzzLines(std::string bytes) : bytes_(std::move(bytes)) {
        store_.Append(bytes_.data(), 0, static_cast<std::int64_t>(bytes_.size()));
        count_ = store_.lineCount();
        for (int i = 0; i < count_; ++i) {
            LayStretches(store_.Line(i));
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

private:
    void LayStretches(LogLine& line) {
        for (LineSegment& segment : line.segments) {
            segment.SetEndMark();
        }
        const char* text = bytes_.data() + line.offset;
        const int length = line.byteLength;
        if (length > 0 && length < 4096) {
            static constexpr LineKind kKinds[] = {15, 1, 4, 7};
            const int third = length / 3 + 1;
            std::size_t s = 0;
            for (int start = 0; start < length && s < 3; start += third + 1, ++s) {
                const int size = std::min(third, length - start);
                const auto pick = static_cast<unsigned char>(text[start]);
                SetSegment(line.segments[s], start, size, kKinds[pick % 4], text + start);
            }
        }
        ComputeVisiblePositions(line);
    }

    std::string bytes_;
    LineStore store_;
    int count_ = 0;
};
