#include "SelectionCopy.h"

#include "ColourCodes.h"
#include "HtmlExport.h"

#include <limits>

std::optional<CopiedSelection> CopySelection(LineSource& lines, const SelectionBounds& selection,
                                             const KindTables& tables, CopyFormats formats) {
    const int count = lines.lineCount();
    if (selection.startLine < 0 || selection.endLine >= count ||
        selection.endLine < selection.startLine) {
        return std::nullopt;
    }
    const LineView firstLine = lines.Line(selection.startLine);
    const LineView lastLine = lines.Line(selection.endLine);
    // The byte of the first selected character, and the byte just after the
    // last one.
    const int first = ColumnToByteOffset(firstLine, selection.startColumn);
    const int afterLast = selection.endColumn < std::numeric_limits<int>::max()
                              ? selection.endColumn + 1
                              : selection.endColumn;
    const int end = ColumnToByteOffset(lastLine, afterLast);

    CopiedSelection copied;
    if (lines.contiguous()) {
        // The lines follow one another in the file, so the selection is one
        // stretch of it, with the file's own line ends.
        const char* textBegin = firstLine.text + first;
        const char* textEnd = lastLine.text + end;
        if (textEnd > textBegin) {
            copied.text.assign(textBegin, textEnd);
        }
    } else {
        // Lines picked out of a log: each selected part, a line end between.
        for (int l = selection.startLine; l <= selection.endLine; ++l) {
            const LineView line = lines.Line(l);
            const int from = l == selection.startLine ? first : 0;
            const int to = l == selection.endLine ? end : line.byteLength;
            if (l > selection.startLine) {
                copied.text += '\n';
            }
            if (to > from) {
                copied.text.append(line.text + from, line.text + to);
            }
        }
    }

    if (formats == CopyFormats::TextOnly) {
        return copied;
    }
    HtmlExport html(tables);
    for (int l = selection.startLine; l <= selection.endLine; ++l) {
        const LineView line = lines.Line(l);
        html.AddLine(line, l == selection.startLine ? first : 0,
                     l == selection.endLine ? end : line.byteLength);
    }
    copied.htmlFits = html.Finish();
    copied.html = html.document();
    return copied;
}
