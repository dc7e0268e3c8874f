// Printing the log or the selection, page after page, for Print and Print
// Preview alike.
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "Messages.h"

#include <QDir>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <algorithm>
#include <memory>

bool CQuarvelView::Print(QPagedPaintDevice& device, const PrintChoice& choice, int fromPage,
                         int toPage, PrintFeedback feedback) {
    // The progress box turns the event loop: the file's changes wait, so
    // that the lines printed stay what they are.
    bool printed = false;
    HoldingLines([&] { printed = PrintPages(device, choice, fromPage, toPage, feedback); });
    return printed;
}

bool CQuarvelView::PrintPages(QPagedPaintDevice& device, const PrintChoice& choice, int fromPage,
                              int toPage, PrintFeedback feedback) {
    // The pages are laid out in the screen's pixels, so that a page holds
    // the text at its screen size, and scaled to the device's resolution.
    const qreal scale =
        static_cast<qreal>(device.logicalDpiY()) / static_cast<qreal>(std::max(logicalDpiY(), 1));
    const QRect printable = device.pageLayout().paintRectPixels(device.logicalDpiY());
    const QSize page(static_cast<int>(printable.width() / scale),
                     static_cast<int>(printable.height() / scale));
    const SelectionBounds stretch =
        choice.selectionOnly && selectionActive() ? selection() : PrintLayout::WholeLog(lines());
    LogPrintJob job(lines(), fonts(), caretColours(), kindTables(), stretch, choice, page,
                    QDir::toNativeSeparators(document_.path()));

    const int first = std::clamp(fromPage > 0 ? fromPage - 1 : 0, 0, job.pageCount() - 1);
    const int last =
        std::clamp(toPage > 0 ? toPage - 1 : job.pageCount() - 1, first, job.pageCount() - 1);
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    // A log of many pages takes a while: the progress shows after half a
    // second, with Cancel. Not for a preview: its pages are painted while
    // it still shows the old ones, which it has freed, so the event loop
    // must not turn (a repaint would draw them).
    std::unique_ptr<QProgressDialog> progress;
    if (feedback == PrintFeedback::ProgressAndCancel) {
        progress = std::make_unique<QProgressDialog>(
            QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0, last - first + 1, this);
        progress->setWindowTitle(QString::fromLatin1(kApplicationTitle));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(printProgressDelayMs_);
    }
    for (int p = first; p <= last; ++p) {
        if (p > first && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.scale(scale, scale);
        job.PaintPage(painter, p);
        painter.restore();
        if (progress == nullptr) {
            continue;
        }
        progress->setValue(p - first + 1);
        if (progress->wasCanceled()) {
            if (auto* printer = dynamic_cast<QPrinter*>(&device)) {
                printer->abort();
            }
            painter.end();
            return false;
        }
    }
    return painter.end();
}
