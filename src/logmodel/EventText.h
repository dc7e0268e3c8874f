#pragma once

#include <array>
#include <optional>
#include <string_view>

// Where a game event sits in a log line: the event text starts after the
// line's fixed-width 8-byte prefix, which is never examined; its keyword runs
// to the first colon, and the payload starts two bytes after that colon (the
// colon and the blank after it). Only lines of 10 to 255 bytes can hold one.
inline constexpr int kEventTextOffset = 8;
inline constexpr int kShortestEventLine = 10;
inline constexpr int kLongestEventLine = 255;

// A line's event text is copied here and zero-terminated before it is cut.
using EventTextBuffer = std::array<char, 256>;

struct EventText {
    std::string_view keyword; // in the buffer, may be empty
    std::string_view payload; // in the buffer, to the end of the line, may be empty
    int payloadOffset;        // the payload's byte offset in the line
};

// Copies the line's event text into `buffer` and cuts it into keyword and
// payload; nothing when the line is too short or too long to hold an event
// or its event text has no colon.
std::optional<EventText> CutEventText(std::string_view line, EventTextBuffer& buffer);

// True when `keyword` is the beginning of `word`: the comparison covers only
// the keyword's own bytes, so "Kil" and an empty keyword agree with "Kill".
// Case matters.
inline bool KeywordAgrees(std::string_view keyword, std::string_view word) {
    return word.starts_with(keyword);
}
