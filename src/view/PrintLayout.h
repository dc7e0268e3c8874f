#pragma once

#include "LineSource.h"
#include "TextPosition.h"

#include <vector>

// One printed row: the cells of `line` from visible column `firstColumn`
// on, `columns` of them (0 for an empty line, which still takes a row).
struct PrintRow {
    int line = 0;
    int firstColumn = 0;
    int columns = 0;

    bool operator==(const PrintRow&) const = default;
};

// How a stretch of the log falls onto pages of `rowsPerPage` rows of
// `columnsPerRow` cells: a line to a row, a longer line either cut at the
// row's end or wrapped onto as many rows as it needs. The stretch runs from
// (startLine, startColumn) to (endLine, endColumn), both ends included, as a
// selection does; a whole log is (0, 0) to (last line, its length). There is
// always at least one page, blank when the stretch holds no line.
class PrintLayout {
public:
    PrintLayout(LineSource& lines, const SelectionBounds& stretch, int columnsPerRow,
                int rowsPerPage, bool wrapLines);

    int pageCount() const { return static_cast<int>(pageStarts_.size()); }
    int rowsPerPage() const { return rowsPerPage_; }
    int columnsPerRow() const { return columnsPerRow_; }

    // The rows of page `page` (from 0), top to bottom.
    std::vector<PrintRow> PageRows(int page) const;

    // The whole log as a stretch.
    static SelectionBounds WholeLog(LineSource& lines);

private:
    // The columns of `line` inside the stretch: [first, first + count).
    void LineColumns(int line, int& first, int& count) const;

    LineSource& lines_;
    SelectionBounds stretch_;
    int columnsPerRow_;
    int rowsPerPage_;
    bool wrapLines_;
    // The row each page begins with.
    std::vector<PrintRow> pageStarts_;
};
