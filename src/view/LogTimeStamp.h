#pragma once

#include "LineSource.h"

#include <optional>
#include <string>
#include <string_view>

// The game clock a log line begins with: "  12:34 " (minutes and seconds
// since the map began, right-aligned), whatever the stamp's width. Times
// count in seconds.

// The time stamp at the start of a line's bytes: blanks, one to four digits
// of minutes, a colon, two digits of seconds (00 to 59), then a blank or the
// end of the line. Nothing when the line does not start so.
std::optional<int> LineTimeStamp(std::string_view text);

// A time as the user types it, "m:ss" or "mm:ss" (blanks around it allowed).
std::optional<int> ParseTimeOfLog(std::string_view text);

// "12:34" for 754 seconds.
std::string FormatTimeOfLog(int seconds);

// The line where the log's clock reaches `target`: the first stamped line
// at or after it whose previous stamped line was before it, or that starts a
// map (the clock starts again with every map, so a log passes a time once a
// map). The search runs
// forwards from the line after `caretLine`, then once from the top of the
// log down to `caretLine`; nothing when the clock never reaches the time.
std::optional<int> FindTimeOfLog(LineSource& lines, int caretLine, int target);
