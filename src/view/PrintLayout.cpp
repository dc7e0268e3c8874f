#include "PrintLayout.h"

#include <algorithm>
#include <limits>

PrintLayout::PrintLayout(LineSource& lines, const SelectionBounds& stretch, int columnsPerRow,
                         int rowsPerPage, bool wrapLines)
    : lines_(lines), stretch_(stretch), columnsPerRow_(std::max(columnsPerRow, 1)),
      rowsPerPage_(std::max(rowsPerPage, 1)), wrapLines_(wrapLines) {
    stretch_.startLine = std::max(stretch_.startLine, 0);
    // A stretch that ends before the first column of its last line (a drag
    // to the start of a line) holds nothing of that line.
    if (stretch_.endColumn < 0 && stretch_.endLine > stretch_.startLine) {
        --stretch_.endLine;
        stretch_.endColumn = std::numeric_limits<int>::max();
    }
    stretch_.endLine = std::min(stretch_.endLine, lines_.lineCount() - 1);
    // Only the row that starts each page is kept: a long log makes many
    // rows, and a page is laid again from its start when it is printed.
    int rowOnPage = 0;
    for (int line = stretch_.startLine; line <= stretch_.endLine; ++line) {
        int first = 0;
        int count = 0;
        LineColumns(line, first, count);
        int done = 0;
        do {
            if (rowOnPage == 0) {
                pageStarts_.push_back({line, first + done, 0});
            }
            rowOnPage = (rowOnPage + 1) % rowsPerPage_;
            done += columnsPerRow_;
        } while (wrapLines_ && done < count);
    }
    if (pageStarts_.empty()) {
        pageStarts_.push_back({stretch_.startLine, 0, 0});
    }
}

SelectionBounds PrintLayout::WholeLog(LineSource& lines) {
    const int last = lines.lineCount() - 1;
    return {0, 0, last, last >= 0 ? lines.Line(last).visibleLength : 0};
}

void PrintLayout::LineColumns(int line, int& first, int& count) const {
    const int length = lines_.Line(line).visibleLength;
    first = line == stretch_.startLine ? std::clamp(stretch_.startColumn, 0, length) : 0;
    const int last =
        line == stretch_.endLine ? std::min(stretch_.endColumn, length - 1) : length - 1;
    count = std::max(last - first + 1, 0);
}

std::vector<PrintRow> PrintLayout::PageRows(int page) const {
    std::vector<PrintRow> rows;
    if (page < 0 || page >= pageCount() || stretch_.endLine < stretch_.startLine) {
        return rows;
    }
    const PrintRow start = pageStarts_[static_cast<std::size_t>(page)];
    for (int line = start.line; line <= stretch_.endLine; ++line) {
        int first = 0;
        int count = 0;
        LineColumns(line, first, count);
        int offset = line == start.line ? start.firstColumn - first : 0;
        do {
            if (static_cast<int>(rows.size()) == rowsPerPage_) {
                return rows;
            }
            rows.push_back({line, first + offset, std::clamp(count - offset, 0, columnsPerRow_)});
            offset += columnsPerRow_;
        } while (wrapLines_ && offset < count);
    }
    return rows;
}
