#pragma once

#include "LineKind.h"

#include <array>
#include <cstdint>
#include <string_view>

struct ConnectionRecord;

// Offsets, lengths and columns of a segment are 12-bit fields: 0..4095.
inline constexpr int kSegmentFieldMax = 4095;

// One typed stretch of a line, packed as three words: word 0 holds kind (bits
// 0-7), byte length (8-19) and byte start (20-31); word 1 holds the visible
// length (8-19) and visible start (20-31); the third is the player the
// stretch names, if any.
struct LineSegment {
    std::uint32_t word0;
    std::uint32_t word1;
    const ConnectionRecord* player;

    LineKind kind() const { return static_cast<LineKind>(word0 & 0xFFu); }
    int length() const { return static_cast<int>((word0 >> 8) & 0xFFFu); }
    int start() const { return static_cast<int>(word0 >> 20); }
    int visibleLength() const { return static_cast<int>((word1 >> 8) & 0xFFFu); }
    int visibleStart() const { return static_cast<int>(word1 >> 20); }

    void SetEndMark() {
        word0 = static_cast<std::uint32_t>(LineKind::EndMark);
        word1 = 0;
        player = nullptr;
    }
};

inline constexpr int kSegmentsPerLine = 8;
using LineSegments = std::array<LineSegment, kSegmentsPerLine>;

// One line as its readers see it: `text` points at its first byte in the
// mapped file (not terminated) and is good until the log next changes, so
// a view is taken afresh for every use and never kept.
struct LineView {
    const char* text = nullptr;
    std::int32_t byteLength = 0;
    std::int32_t visibleLength = 0;
    LineSegments segments{};

    std::string_view Text() const {
        return {text, static_cast<std::size_t>(byteLength > 0 ? byteLength : 0)};
    }
};
