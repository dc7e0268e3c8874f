#include "LogPainter.h"

#include "CaretCodes.h"
#include "ColourCodes.h"
#include "ViewFonts.h"

#include <QColor>
#include <QPainter>
#include <algorithm>

namespace {

// The colour a cell shows when it is inverted.
constexpr Rgb Inverted(Rgb colour) {
    return colour ^ 0xFFFFFFu;
}

} // namespace

LogPainter::LogPainter(const ViewFonts& fonts, const CaretColourTable& caretColours,
                       const KindTables& kinds, Rgb backgroundColour, ColourMap colourMap)
    : fonts_(fonts), caretColours_(caretColours.colours()), kinds_(kinds),
      backgroundColour_(backgroundColour), charWidth_(fonts.charWidth()) {
    if (colourMap != nullptr) {
        for (Rgb& colour : caretColours_) {
            colour = colourMap(colour);
        }
        for (Rgb& colour : kinds_.kindColour) {
            colour = colourMap(colour);
        }
    }
}

void LogPainter::Paint(QPainter& painter, LineSource& lines, const PaintFrame& frame) {
    batchesUsed_ = 0;
    lastBatch_ = 0;
    invertedCells_.clear();
    leftMargin_ = frame.leftMargin;

    const int lineHeight = fonts_.lineHeight();
    int firstRow = 0;
    int endRow = std::min(frame.rows, lines.lineCount() - frame.topLine);
    if (frame.area.isValid()) {
        firstRow = std::max(firstRow, (frame.area.top() - frame.topMargin) / lineHeight);
        endRow = std::min(endRow, (frame.area.bottom() - frame.topMargin) / lineHeight + 1);
    }
    if (endRow <= firstRow) {
        return;
    }
    const int rowsWidth = std::max(frame.rightEdge - frame.leftMargin, 0);
    const int cellLimit = (rowsWidth + charWidth_ - 1) / charWidth_;

    // Each row is background from the margin out to the right edge, behind
    // its characters and after its end.
    if (!frame.backgroundPainted) {
        painter.fillRect(QRect(frame.leftMargin, frame.topMargin + firstRow * lineHeight, rowsWidth,
                               (endRow - firstRow) * lineHeight),
                         QColor(QRgb(backgroundColour_)));
    }

    for (int i = firstRow; i < endRow; ++i) {
        const int n = frame.topLine + i;
        const LineView& line = lines.Line(n);
        Row row;
        row.baseline = frame.topMargin + i * lineHeight;
        row.cellLimit = cellLimit;

        // The selected characters of this line that are in view. The end of
        // a line is never inverted, so an empty line inside a selection
        // shows nothing.
        const SelectionBounds* selection = frame.selection;
        if (selection != nullptr && n >= selection->startLine && n <= selection->endLine) {
            int first = n == selection->startLine ? selection->startColumn : 0;
            int last = n == selection->endLine ? selection->endColumn : line.visibleLength - 1;
            first = std::max(first, frame.firstColumn);
            last = std::min(last, line.visibleLength - 1);
            if (first <= last) {
                row.invertFirst = first - frame.firstColumn;
                row.invertLast = last - frame.firstColumn;
                const int left = frame.leftMargin + row.invertFirst * charWidth_;
                const int right =
                    std::min(left + (last - first + 1) * charWidth_, frame.leftMargin + rowsWidth);
                invertedCells_.emplace_back(left, row.baseline, right - left, lineHeight);
            }
        }
        LayLine(line, row, frame.firstColumn);
    }

    const QColor invertedBackground(QRgb(Inverted(backgroundColour_)));
    for (const QRect& cells : invertedCells_) {
        painter.fillRect(cells, invertedBackground);
    }
    DrawBatches(painter);
}

void LogPainter::LayLine(const LineView& line, Row& row, int firstColumn) {
    // The first byte in view; runs that end before it are not drawn, the run
    // it falls into is drawn from it.
    const int b0 = ColumnToByteOffset(line, firstColumn);
    const LineRuns runs(line);
    for (const LineRun& run : runs) {
        if (run.end() <= b0) {
            continue;
        }
        const int drawStart = std::max(run.start, b0);
        const bool roomLeft = IsCaretColouredRun(run)
                                  ? LayCaretColouredRun(line, run, drawStart, row)
                                  : LayPlainRun(line, run, drawStart, row);
        if (!roomLeft) {
            return;
        }
    }
}

bool LogPainter::LayCaretColouredRun(const LineView& line, const LineRun& run, int drawStart,
                                     Row& row) {
    const KindFont font = kinds_.Font(run.kind);
    Rgb colour = kinds_.Colour(run.kind);
    // The run is read from its own start even when it is clipped: codes left
    // of the first visible column still set the colour. A doubled caret
    // shows one caret; a caret that ends the run shows nothing.
    const std::string_view bytes(line.text + run.start, static_cast<std::size_t>(run.length));
    const auto firstDrawn = static_cast<std::size_t>(drawStart - run.start);
    bool roomLeft = true;
    ForEachCaretToken(bytes, [&](const CaretPiece& piece) {
        switch (piece.token) {
        case CaretToken::Character:
            for (std::size_t i = std::max(piece.at, firstDrawn); i < piece.end(); ++i) {
                if (!LayCell(row, font, colour, static_cast<unsigned char>(bytes[i]))) {
                    return roomLeft = false;
                }
            }
            break;
        case CaretToken::ColourCode:
            colour = CaretColour(piece.code());
            break;
        case CaretToken::DoubledCaret:
            if (piece.at >= firstDrawn && !LayCell(row, font, colour, kCaret)) {
                return roomLeft = false;
            }
            break;
        case CaretToken::TrailingCaret:
            break;
        }
        return true;
    });
    return roomLeft;
}

bool LogPainter::LayPlainRun(const LineView& line, const LineRun& run, int drawStart, Row& row) {
    const KindFont font = kinds_.Font(run.kind);
    const Rgb colour = kinds_.Colour(run.kind);
    for (int i = drawStart; i < run.end(); ++i) {
        if (!LayCell(row, font, colour, static_cast<unsigned char>(line.text[i]))) {
            return false;
        }
    }
    return true;
}

bool LogPainter::LayCell(Row& row, KindFont font, Rgb colour, unsigned char byte) {
    if (row.cell >= row.cellLimit) {
        return false;
    }
    const CellFont& cellFont = fonts_.Font(font);
    if (cellFont.Inks(byte)) {
        const bool inverted = row.cell >= row.invertFirst && row.cell <= row.invertLast;
        Batch& batch = BatchFor(font, inverted ? Inverted(colour) : colour);
        batch.glyphs.push_back(cellFont.Glyph(byte));
        batch.positions.emplace_back(leftMargin_ + row.cell * charWidth_,
                                     row.baseline + cellFont.ascent());
    }
    ++row.cell;
    return true;
}

LogPainter::Batch& LogPainter::BatchFor(KindFont font, Rgb colour) {
    // Neighbouring cells mostly share their look.
    if (batchesUsed_ > 0) {
        Batch& last = batches_[lastBatch_];
        if (last.colour == colour && last.font == font) {
            return last;
        }
    }
    for (std::size_t i = 0; i < batchesUsed_; ++i) {
        if (batches_[i].colour == colour && batches_[i].font == font) {
            lastBatch_ = i;
            return batches_[i];
        }
    }
    if (batchesUsed_ == batches_.size()) {
        batches_.emplace_back();
    }
    Batch& batch = batches_[batchesUsed_];
    batch.font = font;
    batch.colour = colour;
    batch.glyphs.clear();
    batch.positions.clear();
    lastBatch_ = batchesUsed_;
    ++batchesUsed_;
    return batch;
}

void LogPainter::DrawBatches(QPainter& painter) {
    for (std::size_t i = 0; i < batchesUsed_; ++i) {
        const Batch& batch = batches_[i];
        if (batch.glyphs.empty()) {
            continue;
        }
        glyphRun_.setRawFont(fonts_.Font(batch.font).rawFont());
        glyphRun_.setRawData(batch.glyphs.data(), batch.positions.data(),
                             static_cast<int>(batch.glyphs.size()));
        painter.setPen(QColor(QRgb(batch.colour)));
        painter.drawGlyphRun(QPointF(0, 0), glyphRun_);
    }
}
