#pragma once

#include "KindTables.h"
#include "LineSource.h"
#include "TextPosition.h"

#include <optional>
#include <string>

// What Copy puts on the clipboard for a selection.
struct CopiedSelection {
    // The selected bytes exactly as they lie in the file: the line ends
    // between the lines and every colour code included.
    std::string text;
    // The "HTML Format" document; empty when htmlFits is false (the document
    // would not fit its eight-digit offsets), in which case only the text is
    // put.
    std::string html;
    bool htmlFits = false;
};

// Which of the two contents to make: the HTML costs many times the text, so
// who wants the text alone does not pay for it.
enum class CopyFormats { TextAndHtml, TextOnly };

// The clipboard contents for the selection. Nullopt when the selection's
// lines are not lines of the source or its end line comes before its start
// line. A selection that ends at column -1 of a line takes none of it but
// still gives the HTML an empty line for it. With TextOnly, html stays empty
// and htmlFits false.
std::optional<CopiedSelection> CopySelection(LineSource& lines, const SelectionBounds& selection,
                                             const KindTables& tables,
                                             CopyFormats formats = CopyFormats::TextAndHtml);
