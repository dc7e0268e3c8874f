#pragma once

// A place in the log as the view counts it: a line and a visible column.
struct TextPosition {
    int line = 0;
    int column = 0;

    bool operator==(const TextPosition&) const = default;
};

// A selection from (startLine, startColumn) to (endLine, endColumn), both
// ends included, in visible columns. It is empty when it lies on one line and
// its start column is past its end column.
struct SelectionBounds {
    int startLine = 0;
    int startColumn = 0;
    int endLine = 0;
    int endColumn = 0;

    bool operator==(const SelectionBounds&) const = default;
};
