#pragma once

#include "LogPainter.h"
#include "PrintLayout.h"

#include <QSize>
#include <QString>

class QPainter;
class ViewFonts;

// What the user chose to print.
struct PrintChoice {
    bool selectionOnly = false; // the selection, or else the whole log
    bool wrapLines = true;      // long lines wrapped onto further rows, or cut
};

// The pages of a printed log: on white paper, in the view's fonts and cell
// size, each kind in its screen colour made legible on white, under a
// header row with the log's name and the page's number. Coordinates are the
// view's screen pixels; the caller scales them to the device.
class LogPrintJob {
public:
    static constexpr int kMargin = 8;     // pixels around the text
    static constexpr int kHeaderRows = 2; // the header and a blank row

    LogPrintJob(LineSource& lines, const ViewFonts& fonts, const CaretColourTable& caretColours,
                const KindTables& kinds, const SelectionBounds& stretch, const PrintChoice& choice,
                const QSize& page, QString header);

    int pageCount() const { return layout_.pageCount(); }
    const PrintLayout& layout() const { return layout_; }

    // Paints page `page` (from 0) with its top left corner at the origin.
    void PaintPage(QPainter& painter, int page);

private:
    LineSource& lines_;
    const ViewFonts& fonts_;
    LogPainter painter_;
    QSize page_;
    QString header_;
    PrintLayout layout_;
};
