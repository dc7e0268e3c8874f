#pragma once

#include "LogLine.h"

#include <string>
#include <string_view>

// The visible columns of a line. A caret colour code (see CaretCodes.h) is
// hidden, takes no column and is skipped by the search exactly where the
// screen hides it, in the stretches of the caret-coloured kinds (names and
// chat texts); everywhere else a caret is an ordinary character. So what the
// screen shows, what a drag selects, what the search finds and what Copy
// copies are the same characters.

// True for the kinds drawn with their codes applied and hidden, and measured
// without them.
bool IsColourCodedKind(LineKind kind);
inline bool IsColourCodedKind(const LineSegment& segment) {
    return IsColourCodedKind(segment.kind());
}

// Characters that `length` bytes at `text` show under the caret rules.
int CountVisibleCharacters(const char* text, int length);

// Fills a segment's start, length and kind and its visible length: counted
// under the caret rules when the kind is caret-coloured and `text` (the
// segment's first byte) is given, the byte length otherwise. The visible start
// waits for ComputeVisiblePositions; the player link is cleared. Values beyond
// the 12-bit fields are clamped to 4095.
void SetSegment(LineSegment& segment, int start, int length, LineKind kind, const char* text);

// Sets every segment's visible start from the code bytes hidden by the
// segments before it, and returns the line's visible length. Segments must be
// in line order and must not overlap.
int ComputeVisiblePositions(LineSegments& segments, int byteLength);
inline void ComputeVisiblePositions(LineView& line) {
    line.visibleLength = ComputeVisiblePositions(line.segments, line.byteLength);
}

// The segments of a line that holds no event: one plain stretch over it all
// (clamped to 4095 bytes for a longer line, whose rest is drawn plain too).
// Returns the line's visible length, its byte length.
int LayPlainLine(LineSegments& segments, int byteLength);
inline void SetPlainSegments(LineView& line) {
    line.visibleLength = LayPlainLine(line.segments, line.byteLength);
}

// The byte offset at which visible column `column` begins: just past the
// character before it, so that the codes in front of the column's own
// character stay with it. Columns at or past the line's visible length give
// its byte length; columns below 1 give 0.
int ColumnToByteOffset(const LineView& line, int column);

// The text a line shows, as the search reads it: the bytes of the
// caret-coloured stretches without their codes, every other byte as it
// stands. An offset into it is a visible column. `buffer` keeps its capacity
// between calls; a line whose visible text is its bytes (no code hidden) is
// returned in place, so only lines that hold an event are ever copied.
std::string_view LineVisibleText(const LineView& line, std::string& buffer);
