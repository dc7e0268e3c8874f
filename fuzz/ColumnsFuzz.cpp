// Caret codes and visible columns over any line: the visible length is the
// count of visible characters, and every column maps to a byte inside the
// line, never backwards.
#include "ColourCodes.h"
#include "FuzzCheck.h"
#include "VisibleText.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    LogLine line{};
    line.text = bytes.data();
    line.byteLength = static_cast<std::int32_t>(bytes.size());
    for (LineSegment& segment : line.segments) {
        segment.SetEndMark();
    }
    // One segment of a kind whose codes are measured as hidden, over the
    // whole line when it fits the packed record.
    static const LineKind measured = [] {
        for (int kind = 0; kind < 255; ++kind) {
            if (IsCaretMeasuredKind(static_cast<LineKind>(kind))) {
                return static_cast<LineKind>(kind);
            }
        }
        return LineKind{0};
    }();
    if (size > 0 && size < 4096) {
        SetSegment(line.segments[0], 0, static_cast<int>(size), measured, line.text);
    }
    ComputeVisiblePositions(line);
    FUZZ_CHECK(line.visibleLength >= 0 && line.visibleLength <= line.byteLength);
    const int counted = CountVisibleCharacters(bytes.data(), static_cast<int>(bytes.size()));
    FUZZ_CHECK(counted >= 0 && counted <= static_cast<int>(size));
    std::string buffer;
    const std::string_view visible = CopyVisibleText(bytes, buffer);
    FUZZ_CHECK(static_cast<int>(visible.size()) == counted);
    int previous = 0;
    for (int column = -1; column <= line.visibleLength + 1; ++column) {
        const int offset = ColumnToByteOffset(line, column);
        FUZZ_CHECK(offset >= 0 && offset <= line.byteLength);
        FUZZ_CHECK(offset >= previous || column <= 0);
        previous = offset;
    }
    FUZZ_CHECK(ColumnToByteOffset(line, line.visibleLength) == line.byteLength);
    return 0;
}
