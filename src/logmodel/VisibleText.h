#pragma once

#include <string>
#include <string_view>

// Text without its caret colour codes, every caret taken as a code marker: a
// caret and the byte after it vanish, two carets leave one, a trailing caret
// vanishes. A player's colour-free name is made this way. (The text a whole
// line shows, where only names and chat texts hide their codes, is
// LineVisibleText in ColourCodes.h.)

// True when the bytes hold no caret, so they are their own visible text.
bool IsFreeOfCarets(std::string_view raw);

// Writes the visible text of `raw` into `buffer` (which grows as needed and
// keeps its capacity between calls) and returns a view of it.
std::string_view CopyVisibleText(std::string_view raw, std::string& buffer);

// Appends the visible text of `raw` to `out`.
void AppendVisibleText(std::string_view raw, std::string& out);
