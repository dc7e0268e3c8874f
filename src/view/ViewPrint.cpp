// Printing the log or the selection, page after page, for Print and Print
// Preview alike.
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "Messages.h"

#include <QDir>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <algorithm>
#include <optional>

bool CQuarvelView::Print(QPagedPaintDevice& device, const PrintChoice& choice, int fromPage,
                         int toPage) {
    // The progress box turns the event loop: the file's changes wait, so
    // that the lines printed stay what they are.
    bool printed = false;
    HoldingLines([&] { printed = PrintPages(device, choice, fromPage, toPage); });
    return printed;
}

bool CQuarvelView::PrintPages(QPagedPaintDevice& device, const PrintChoice& choice, int fromPage,
                              int toPage) {
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
    // second, with Cancel. Not for the print preview, which records the
    // pages as pictures: a modal progress turns the event loop, and the
    // preview then paints a page whose picture is still being recorded
    // (a crash inside Qt's preview widget).
    const bool previewing =
        painter.paintEngine() != nullptr && painter.paintEngine()->type() == QPaintEngine::Picture;
    std::optional<QProgressDialog> progress;
    if (!previewing) {
        progress.emplace(QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0,
                         last - first + 1, this);
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
        if (!progress) {
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
