#pragma once

#include "LogLine.h"

// The game's caret colour codes. A caret followed by any byte other than a
// caret is a code: two bytes that show nothing, the second picking the colour
// of what follows. Two carets show one caret. A caret that ends the measured
// text shows nothing. Every other byte shows as one character.
//
// Two kind sets take part and they differ on purpose: the caret-measured
// kinds have their codes counted out of their visible length; the
// caret-coloured kinds are drawn with their codes applied and hidden. Kinds
// 7, 8 and 9 are coloured but measured at their byte length.

// True for the kinds whose visible length leaves out their colour codes.
bool IsCaretMeasuredKind(LineKind kind);

// True for the kinds the view draws with their codes applied and hidden.
bool IsColourCodedKind(LineKind kind);
inline bool IsColourCodedKind(const LineSegment& segment) {
    return IsColourCodedKind(segment.kind());
}

// Characters that `length` bytes at `text` show under the caret rules.
int CountVisibleCharacters(const char* text, int length);

// Fills a segment's start, length and kind and its visible length: counted
// under the caret rules when the kind is caret-measured and `text` (the
// segment's first byte) is given, the byte length otherwise. The visible start
// waits for ComputeVisiblePositions; the player link is cleared. Values beyond
// the 12-bit fields are clamped to 4095.
void SetSegment(LineSegment& segment, int start, int length, LineKind kind, const char* text);

// Sets every segment's visible start from the code bytes hidden by the
// segments before it, and returns the line's visible length. Segments must be
// in line order and must not overlap.
int ComputeVisiblePositions(LineSegments& segments, int byteLength);
inline void ComputeVisiblePositions(LogLine& line) {
    line.visibleLength = ComputeVisiblePositions(line.segments, line.byteLength);
}
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

// The byte offset at which visible column `column` begins, counting every
// caret of the line as a code marker whatever segment holds it. Columns at or
// past the line's visible length give its byte length; columns below 1 give 0.
int ColumnToByteOffset(const LineView& line, int column);
