#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

struct ConnectionRecord;

// The 8-bit kind of a stretch of a line. 0..20 are the recognised kinds;
// kEndMark closes a line's segment list when fewer than eight are used.
using LineKind = std::uint8_t;
inline constexpr LineKind kEndMark = 255;

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
        word0 = kEndMark;
        word1 = 0;
        player = nullptr;
    }
};

inline constexpr int kSegmentsPerLine = 8;

// One line of the log. `text` points into the mapped file and is not
// terminated; `byteLength` excludes the LF and a CR right before it.
//
// Records live in large zero-filled blocks that are never constructed one by
// one, so both types stay trivial: no member initialisers.
struct LogLine {
    const char* text;
    std::int32_t byteLength;
    std::int32_t visibleLength;
    std::array<LineSegment, kSegmentsPerLine> segments;
};

static_assert(std::is_trivially_default_constructible_v<LogLine>);
static_assert(std::is_trivially_destructible_v<LogLine>);
