#pragma once

#include <array>
#include <optional>
#include <string_view>

// Where a game event sits in a log line: the event text starts after the
// line's fixed-width time stamp, which is never examined; its keyword runs to
// the first colon, and the payload starts two bytes after that colon (the
// colon and the blank after it). The stamp of most logs is 8 bytes ("  12:34 ",
// so only lines of 10 to 255 bytes can hold an event); other games of the
// same engine write 7 ("  0:13 "), and a log's own width is found from its
// first lines.
inline constexpr int kEventTextOffset = 8;
inline constexpr int kShortStampOffset = 7;
inline constexpr int kShortestEventLine = 10;
inline constexpr int kLongestEventLine = 255;

// A line's event text is copied here and zero-terminated before it is cut.
using EventTextBuffer = std::array<char, 256>;

struct EventText {
    std::string_view keyword; // in the buffer, may be empty
    std::string_view payload; // in the buffer, to the end of the line, may be empty
    int keywordOffset;        // the keyword's byte offset in the line: the stamp's width
    int payloadOffset;        // the payload's byte offset in the line
};

// Copies the line's event text, from `textOffset` on, into `buffer` and cuts
// it into keyword and payload; nothing when the line is too short (under
// textOffset + 2 bytes) or too long (over 255) to hold an event, or its event
// text has no colon.
std::optional<EventText> CutEventText(std::string_view line, EventTextBuffer& buffer,
                                      int textOffset = kEventTextOffset);

// The same cut made in place: keyword and payload point into `line`.
std::optional<EventText> EventTextInPlace(std::string_view line, int textOffset = kEventTextOffset);

// The width of the time stamp a line starts with (blanks, minutes, a colon,
// two digits of seconds and a blank), or 0 when it starts with none.
int TimeStampWidth(std::string_view line);

// Where the event text starts in a log whose first lines are these: 7 when
// more of them carry a 7-byte stamp than an 8-byte one, else 8.
template <typename Lines> int DetectEventTextOffset(const Lines& firstLines) {
    int shortStamps = 0;
    int longStamps = 0;
    for (const std::string_view line : firstLines) {
        const int width = TimeStampWidth(line);
        shortStamps += width == kShortStampOffset ? 1 : 0;
        longStamps += width == kEventTextOffset ? 1 : 0;
    }
    return shortStamps > longStamps ? kShortStampOffset : kEventTextOffset;
}

// The keywords of the events the program reads, in the order they are tried.
inline constexpr std::string_view kConnectKeyword = "ClientConnect";
inline constexpr std::string_view kUserinfoKeyword = "ClientUserinfoChanged";
inline constexpr std::string_view kKillKeyword = "Kill";
inline constexpr std::string_view kSayKeyword = "say";
inline constexpr std::string_view kSayTeamKeyword = "sayteam";
inline constexpr std::string_view kTellKeyword = "tell";
inline constexpr std::string_view kAdminChatKeyword = "admchat";
inline constexpr std::string_view kAdminTalkKeyword = "admtalk";
inline constexpr std::string_view kAdminTellKeyword = "admtell";

// True when `keyword` is the beginning of `word`: the comparison covers only
// the keyword's own bytes, so "Kil" and an empty keyword agree with "Kill".
// Case matters.
inline bool KeywordAgrees(std::string_view keyword, std::string_view word) {
    return word.starts_with(keyword);
}
