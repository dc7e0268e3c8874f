#pragma once

#include "AppConfig.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "TempFile.h"

#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <memory>
#include <ostream>
#include <string>
#include <utility>

// Found by GoogleTest next to the type itself.
inline void PrintTo(const SelectionBounds& b, std::ostream* os) {
    *os << "(" << b.startLine << ":" << b.startColumn << " .. " << b.endLine << ":" << b.endColumn
        << ")";
}

// `count` lines "line 0000 ..." padded to `width` bytes, none of them an
// event line, so every line is one plain run.
inline std::string PlainLines(int count, int width = 60) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        std::string line = "line " + std::to_string(10000 + i).substr(1) + " ";
        line.resize(static_cast<std::size_t>(width), 'x');
        bytes += line + "\n";
    }
    return bytes;
}

// A log written to a temporary file, opened as a document and shown in a
// view of its own whose client area holds exactly `rows` rows and `columns`
// columns, updated as the frame updates a new view. The view does not
// follow the log, so it starts at the top with the caret at the start. It
// is not active, so no caret is drawn unless a test activates it. The view
// reads a configuration of the test's own, empty unless the test gives
// one.
class ViewOnLog {
public:
    explicit ViewOnLog(const std::string& bytes, int rows = 10, int columns = 40)
        : ViewOnLog(AppConfig{}, bytes, rows, columns) {}
    ViewOnLog(AppConfig config, const std::string& bytes, int rows = 10, int columns = 40)
        : config_(std::move(config)), file_(bytes) {
        document_.Open(QString::fromStdString(file_.path()));
        view_ = std::make_unique<CQuarvelView>(document_, config_);
        view_->SetFollowing(false);
        view_->setFocusPolicy(Qt::NoFocus);
        view_->resize(400, 300);
        view_->show();
        const QSize client(CQuarvelView::kLeftMargin + columns * view_->charWidth(),
                           CQuarvelView::kTopMargin + rows * view_->lineHeight());
        FitClientArea(client);
        view_->OnUpdate();
        // The horizontal bar shows only when a line is wider than the window,
        // which the view knows once it has taken the lines in.
        FitClientArea(client);
    }

    CQuarvelView& view() { return *view_; }
    // What the view reads as the program's configuration; a test may change it.
    AppConfig& config() { return config_; }
    CQuarvelDoc& document() { return document_; }

    // What the view's client area shows now.
    QImage Grab() {
        return view_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // The pixels of the character cell at a row of the window and a cell
    // counted from the first visible column.
    QRect Cell(int row, int cell) const {
        return {CQuarvelView::kLeftMargin + cell * view_->charWidth(),
                CQuarvelView::kTopMargin + row * view_->lineHeight(), view_->charWidth(),
                view_->lineHeight()};
    }

    // The middle of the cell of (line, column) in the window as scrolled now.
    QPoint PointAt(int line, int column) const {
        return {CQuarvelView::kLeftMargin + (column - view_->firstColumn()) * view_->charWidth() +
                    view_->charWidth() / 2,
                CQuarvelView::kTopMargin + (line - view_->topLine()) * view_->lineHeight() +
                    view_->lineHeight() / 2};
    }

private:
    // Sizes the window so that its client area is `client`: the frame and
    // the scroll bars shown take the rest.
    void FitClientArea(const QSize& client) {
        // A scroll area shows or hides its bars on a queued call.
        QCoreApplication::processEvents();
        for (int i = 0; i < 3 && view_->viewport()->size() != client; ++i) {
            const QSize chrome = view_->size() - view_->viewport()->size();
            view_->resize(chrome + client);
            QCoreApplication::processEvents();
        }
    }

    AppConfig config_;
    TempFile file_;
    CQuarvelDoc document_;
    std::unique_ptr<CQuarvelView> view_;
};
