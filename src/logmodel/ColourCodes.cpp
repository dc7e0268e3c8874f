#include "ColourCodes.h"

#include <algorithm>

namespace {

constexpr char kCaret = '^';

constexpr std::uint32_t Field12(int value) {
    return static_cast<std::uint32_t>(std::clamp(value, 0, kSegmentFieldMax));
}

} // namespace

bool IsCaretMeasuredKind(LineKind kind) {
    switch (kind) {
    case 3:
    case 6:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
        return true;
    default:
        return false;
    }
}

bool IsColourCodedKind(LineKind kind) {
    switch (kind) {
    case 3:
    case 6:
    case 7:
    case 8:
    case 9:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
        return true;
    default:
        return false;
    }
}

int CountVisibleCharacters(const char* text, int length) {
    int shown = 0;
    int i = 0;
    while (i < length) {
        if (text[i] == kCaret) {
            ++i;
            if (i >= length) {
                break; // a trailing caret shows nothing
            }
            if (text[i] == kCaret) {
                ++shown; // a doubled caret shows one caret
            }
            ++i; // a code shows nothing
        } else {
            ++shown;
            ++i;
        }
    }
    return shown;
}

void SetSegment(LineSegment& segment, int start, int length, LineKind kind, const char* text) {
    const std::uint32_t clampedLength = Field12(length);
    segment.word0 = Field12(start) << 20 | clampedLength << 8 | kind;
    std::uint32_t shown = clampedLength;
    if (text != nullptr && IsCaretMeasuredKind(kind)) {
        shown = static_cast<std::uint32_t>(
            CountVisibleCharacters(text, static_cast<int>(clampedLength)));
    }
    segment.word1 = shown << 8;
    segment.player = nullptr;
}

int ComputeVisiblePositions(LineSegments& segments, int byteLength) {
    int hidden = 0;
    for (LineSegment& segment : segments) {
        if (segment.kind() == kEndMark) {
            break;
        }
        // A start is never below the code bytes hidden before it, since
        // segments are in order and each hides at most its own bytes.
        const int visibleStart = segment.start() - hidden;
        segment.word1 = (segment.word1 & 0x000FFF00u) | Field12(visibleStart) << 20;
        hidden += segment.length() - segment.visibleLength();
    }
    return byteLength - hidden;
}

int LayPlainLine(LineSegments& segments, int byteLength) {
    constexpr LineKind kPlain = 1;
    SetSegment(segments[0], 0, byteLength, kPlain, nullptr);
    segments[1].SetEndMark();
    return ComputeVisiblePositions(segments, byteLength);
}

int ColumnToByteOffset(const LineView& line, int column) {
    const int end = line.byteLength;
    if (column >= line.visibleLength) {
        return end;
    }
    if (column < 1) {
        return 0;
    }
    const char* text = line.text;
    int shown = 0;
    int i = 0;
    while (i < end) {
        if (text[i] == kCaret) {
            if (i + 1 >= end) {
                return end;
            }
            if (text[i + 1] == kCaret) {
                ++shown;
            }
            i += 2;
        } else {
            ++shown;
            ++i;
        }
        if (shown >= column) {
            return i;
        }
    }
    return end;
}
