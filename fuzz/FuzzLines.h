#pragma once

#include "ColourCodes.h"
#include "LineSource.h"
#include "LineStore.h"

#include <string>
#include <vector>

// Fuzzed bytes split into lines as a loaded file is, each line cut into up to
// three stretches (where it fits the packed records) of kinds that hide their
// codes and kinds that show their carets, chosen from the line's own bytes,
// so that columns are read both ways.
class FuzzLines final : public LineSource {
public:
    explicit FuzzLines(std::string bytes) : bytes_(std::move(bytes)) {
        LineStore store;
        store.Append(bytes_.data(), 0, static_cast<std::int64_t>(bytes_.size()));
        lines_.resize(static_cast<std::size_t>(store.lineCount()));
        for (int i = 0; i < store.lineCount(); ++i) {
            LineView& line = lines_[static_cast<std::size_t>(i)];
            line.text = bytes_.data() + store.Offset(i);
            line.byteLength = store.ByteLength(i);
            LayStretches(line);
        }
    }

    int lineCount() const override { return static_cast<int>(lines_.size()); }
    LineView Line(int i) const override { return lines_[static_cast<std::size_t>(i)]; }
    std::string_view Text(int i) const override { return Line(i).Text(); }

private:
    void LayStretches(LineView& line) {
        for (LineSegment& segment : line.segments) {
            segment.SetEndMark();
        }
        const char* text = line.text;
        const int length = line.byteLength;
        if (length > 0 && length < 4096) {
            static constexpr LineKind kKinds[] = {LineKind::Say, LineKind::Text,
                                                  LineKind::Team1Name, LineKind::AdminChatName};
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
    std::vector<LineView> lines_;
};
