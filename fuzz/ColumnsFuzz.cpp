// Caret codes and visible columns over any line: the visible length is the
// count of visible characters, and every column maps to a byte inside the
// line, never backwards.
#include "ColourCodes.h"
#include "FuzzCheck.h"
#include "FuzzLines.h"
#include "VisibleText.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const int counted = CountVisibleCharacters(bytes.data(), static_cast<int>(bytes.size()));
    FUZZ_CHECK(counted >= 0 && counted <= static_cast<int>(size));
    std::string buffer;
    FUZZ_CHECK(static_cast<int>(CopyVisibleText(bytes, buffer).size()) == counted);

    // The bytes as lines cut into stretches that hide their codes and
    // stretches that show their carets.
    FuzzLines lines(bytes);
    for (int i = 0; i < lines.lineCount(); ++i) {
        const LineView line = lines.Line(i);
        FUZZ_CHECK(line.visibleLength >= 0 && line.visibleLength <= line.byteLength);
        // The search reads exactly the columns the line has.
        const std::string_view visible = LineVisibleText(line, buffer);
        FUZZ_CHECK(static_cast<int>(visible.size()) == line.visibleLength);
        int previous = 0;
        for (int column = -1; column <= line.visibleLength + 1; ++column) {
            const int offset = ColumnToByteOffset(line, column);
            FUZZ_CHECK(offset >= 0 && offset <= line.byteLength);
            FUZZ_CHECK(offset >= previous || column <= 0);
            // Each column's character is the byte just before its offset (the
            // last column also takes a trailing caret with it).
            if (column >= 1 && column < line.visibleLength) {
                FUZZ_CHECK(offset > previous || column == 1);
                FUZZ_CHECK(line.text[offset - 1] == visible[static_cast<std::size_t>(column - 1)]);
            }
            previous = offset;
        }
        FUZZ_CHECK(ColumnToByteOffset(line, line.visibleLength) == line.byteLength);
    }
    return 0;
}
