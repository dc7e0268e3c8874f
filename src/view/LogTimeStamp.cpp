#include "LogTimeStamp.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads "m:ss" from `i` on; `i` ends after the seconds.
std::optional<int> ReadMinutesAndSeconds(std::string_view text, std::size_t& i) {
    int minutes = 0;
    const std::size_t minutesStart = i;
    while (i < text.size() && IsDigit(text[i]) && i - minutesStart < 4) {
        minutes = minutes * 10 + (text[i] - '0');
        ++i;
    }
    if (i == minutesStart || i + 2 >= text.size() || text[i] != ':' || !IsDigit(text[i + 1]) ||
        !IsDigit(text[i + 2])) {
        return std::nullopt;
    }
    const int seconds = (text[i + 1] - '0') * 10 + (text[i + 2] - '0');
    if (seconds > 59) {
        return std::nullopt;
    }
    i += 3;
    return minutes * 60 + seconds;
}

// A stamp's leading blanks: the widest stamp is eight characters.
constexpr std::size_t kMostLeadingBlanks = 7;

} // namespace

std::optional<int> LineTimeStamp(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ' && i < kMostLeadingBlanks) {
        ++i;
    }
    const auto time = ReadMinutesAndSeconds(text, i);
    if (!time || (i < text.size() && text[i] != ' ')) {
        return std::nullopt;
    }
    return time;
}

std::optional<int> ParseTimeOfLog(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    const auto time = ReadMinutesAndSeconds(text, i);
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    if (!time || i != text.size()) {
        return std::nullopt;
    }
    return time;
}

std::string FormatTimeOfLog(int seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

namespace {

std::optional<int> StampOf(LineSource& lines, int i) {
    return LineTimeStamp(lines.Text(i));
}

// The first line of [first, end) where the clock passes `target`, given the
// stamp seen last before `first` (-1 for none).
std::optional<int> FindCrossing(LineSource& lines, int first, int end, int before, int target) {
    for (int i = first; i < end; ++i) {
        const auto stamp = StampOf(lines, i);
        if (!stamp) {
            continue;
        }
        // A clock that goes back has started again with a new map: its first
        // line is where every time up to its own is first reached.
        if (*stamp < before) {
            before = -1;
        }
        if (*stamp >= target && before < target) {
            return i;
        }
        before = *stamp;
    }
    return std::nullopt;
}

} // namespace

std::optional<int> FindTimeOfLog(LineSource& lines, int caretLine, int target) {
    const int count = lines.lineCount();
    if (count <= 0) {
        return std::nullopt;
    }
    const int caret = std::clamp(caretLine, 0, count - 1);
    // The clock where the caret is, as far as its own line says.
    const int atCaret = StampOf(lines, caret).value_or(-1);
    if (auto found = FindCrossing(lines, caret + 1, count, atCaret, target)) {
        return found;
    }
    return FindCrossing(lines, 0, caret + 1, -1, target);
}
