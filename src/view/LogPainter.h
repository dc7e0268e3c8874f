#pragma once

#include "CaretColourTable.h"
#include "KindTables.h"
#include "LineRuns.h"
#include "LineSource.h"
#include "TextPosition.h"

#include <QGlyphRun>
#include <QPointF>
#include <QRect>
#include <array>
#include <vector>

class QPainter;
class ViewFonts;

// What one paint shows and where: the view's scroll position and metrics,
// the part of the window that needs painting, and the selection shown.
struct PaintFrame {
    int topLine = 0;     // the line of the first row
    int rows = 0;        // whole rows that fit (the view's visibleLines)
    int firstColumn = 0; // the first visible column
    int leftMargin = 0;
    int topMargin = 0;
    int rightEdge = 0;                          // x at which the rows end
    QRect area;                                 // the part to paint; rows outside it are skipped
    const SelectionBounds* selection = nullptr; // the selection shown, or none
    bool backgroundPainted = false;             // the caller has filled the area already
};

// Draws log lines the way the view shows them: each row cut into runs of one
// kind, a plain run with its bytes as they stand, a caret-coloured run with
// its codes applied and hidden, every character in its own cell of the
// fixed cell width on the background colour, and the cells of the selection
// inverted. Used for the screen and for printing.
//
// Characters are collected for the whole paint and drawn in one glyph run per
// font and colour, each at its cell's position, so that mixing the two fonts
// never moves a column. The collecting buffers keep their room from one paint
// to the next: a paint allocates nothing that grows with the log.
class LogPainter {
public:
    // The colours of every kind and caret code may go through `colourMap`
    // (paper wants other colours than the screen); null keeps them.
    using ColourMap = Rgb (*)(Rgb);
    LogPainter(const ViewFonts& fonts, const CaretColourTable& caretColours,
               const KindTables& kinds, Rgb backgroundColour, ColourMap colourMap = nullptr);

    // Paints the rows of `frame` that hold lines of `lines`: their background
    // out to the right edge, the characters, and the selection. Rows below
    // the last line are left alone.
    void Paint(QPainter& painter, LineSource& lines, const PaintFrame& frame);

private:
    // The characters of one font and colour, in the order they were laid.
    struct Batch {
        KindFont font = KindFont::Normal;
        Rgb colour = 0;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
    };

    // The row being laid: where its cells go and which of them are inverted.
    struct Row {
        int baseline = 0; // y of the row's top; each font adds its ascent
        int cell = 0;     // the next cell, counted from the first visible column
        int cellLimit = 0;
        int invertFirst = 0; // inverted cells, inclusive; empty when first > last
        int invertLast = -1;
    };

    void LayLine(const LineView& line, Row& row, int firstColumn);
    bool LayCaretColouredRun(const LineView& line, const LineRun& run, int drawStart, Row& row);
    bool LayPlainRun(const LineView& line, const LineRun& run, int drawStart, Row& row);
    // Lays one character in the row's next cell; false once the row is full.
    bool LayCell(Row& row, KindFont font, Rgb colour, unsigned char byte);
    Batch& BatchFor(KindFont font, Rgb colour);
    void DrawBatches(QPainter& painter);

    const ViewFonts& fonts_;
    Rgb CaretColour(char code) const {
        const auto byte = static_cast<unsigned char>(code);
        return caretColours_[byte < caretColours_.size() ? byte : caretColours_.size() - 1];
    }

    // Copies of the tables, with their colours mapped.
    std::array<Rgb, CaretColourTable::kEntries> caretColours_;
    KindTables kinds_;
    Rgb backgroundColour_;
    int charWidth_;
    int leftMargin_ = 0;

    std::vector<Batch> batches_;
    std::size_t batchesUsed_ = 0;
    std::size_t lastBatch_ = 0;
    std::vector<QRect> invertedCells_;
    QGlyphRun glyphRun_;
};
