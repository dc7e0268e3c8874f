#include "LogPrintJob.h"

#include "PaperColours.h"
#include "ViewFonts.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr Rgb kPaper = 0xFFFFFF;

int ColumnsOn(const QSize& page, const ViewFonts& fonts) {
    return (page.width() - 2 * LogPrintJob::kMargin) / fonts.charWidth();
}

int RowsOn(const QSize& page, const ViewFonts& fonts) {
    return (page.height() - 2 * LogPrintJob::kMargin) / fonts.lineHeight() -
           LogPrintJob::kHeaderRows;
}

} // namespace

LogPrintJob::LogPrintJob(LineSource& lines, const ViewFonts& fonts,
                         const CaretColourTable& caretColours, const KindTables& kinds,
                         const SelectionBounds& stretch, const PrintChoice& choice,
                         const QSize& page, QString header)
    : lines_(lines), fonts_(fonts), painter_(fonts, caretColours, kinds, kPaper, &LegibleOnWhite),
      page_(page), header_(std::move(header)),
      layout_(lines, stretch, ColumnsOn(page, fonts), RowsOn(page, fonts), choice.wrapLines) {}

void LogPrintJob::PaintPage(QPainter& painter, int page) {
    painter.fillRect(QRect(QPoint(0, 0), page_), QColor(QRgb(kPaper)));
    const int lineHeight = fonts_.lineHeight();
    const int charWidth = fonts_.charWidth();

    // The header: the log on the left, the page on the right.
    const QRect header(kMargin, kMargin, page_.width() - 2 * kMargin, lineHeight);
    painter.setFont(fonts_.normalFont().font());
    painter.setPen(Qt::black);
    const QString number = QStringLiteral("Page %1 of %2").arg(page + 1).arg(pageCount());
    const int numberWidth = painter.fontMetrics().horizontalAdvance(number);
    painter.drawText(header.adjusted(0, 0, -numberWidth - charWidth, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(header_, Qt::ElideMiddle,
                                                      header.width() - numberWidth - charWidth));
    painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, number);

    const int top = kMargin + kHeaderRows * lineHeight;
    int row = 0;
    for (const PrintRow& printed : layout_.PageRows(page)) {
        if (printed.columns > 0) {
            PaintFrame frame;
            frame.topLine = printed.line;
            frame.rows = 1;
            frame.firstColumn = printed.firstColumn;
            frame.leftMargin = kMargin;
            frame.topMargin = top + row * lineHeight;
            frame.rightEdge = kMargin + printed.columns * charWidth;
            frame.backgroundPainted = true;
            painter_.Paint(painter, lines_, frame);
        }
        ++row;
    }
}
