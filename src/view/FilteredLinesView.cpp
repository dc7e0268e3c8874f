#include "FilteredLinesView.h"

#include "CommandIds.h"
#include "HitLines.h"
#include "LineSet.h"
#include "LogModel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <memory>

// The line numbers beside the rows, in the log's numbering from 1.
class FilteredLinesView::NumberMargin : public QWidget {
public:
    explicit NumberMargin(FilteredLinesView& view) : view_(view) {
        setObjectName(QStringLiteral("lineNumberMargin"));
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x20, 0x20, 0x20));
        painter.setFont(view_.fonts().normalFont().font());
        painter.setPen(QColor(0x90, 0x90, 0x90));
        const int height = view_.lineHeight();
        const int right = width() - view_.charWidth() / 2;
        for (int row = 0; row < view_.visibleLines() + 1; ++row) {
            const int line = view_.topLine() + row;
            if (line >= view_.lineCount()) {
                break;
            }
            const QRect cell(0, kTopMargin + row * height, right, height);
            painter.drawText(cell, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(view_.LogLineOf(line) + 1));
        }
    }

private:
    FilteredLinesView& view_;
};

FilteredLinesView::FilteredLinesView(const LogModel& model, QWidget* parent)
    : LogLinesView(std::make_unique<HitLines>(model), parent), model_(model) {
    setObjectName(QStringLiteral("filteredLines"));
    hits_ = static_cast<HitLines*>(&lines());
    margin_ = new NumberMargin(*this);
    FitMargin();
}

void FilteredLinesView::FitMargin() {
    // Room for the largest number the log has, and never less than five
    // digits, so that the margin seldom changes as the log grows.
    const int digits =
        std::max(static_cast<int>(QString::number(std::max(model_.lineCount(), 1)).size()), 5);
    const int width = (digits + 1) * charWidth();
    if (margin_->width() != width) {
        margin_->setFixedWidth(width);
        SetSideWidgets(margin_, nullptr);
    }
}

void FilteredLinesView::ShowHits(const LineSet* hits) {
    hits_->SetHits(hits);
    FitMargin();
    ResetLines(hits_->lineCount());
}

void FilteredLinesView::TakeNewHits() {
    const int count = hits_->lineCount();
    if (count == lineCount()) {
        return;
    }
    FitMargin();
    if (count < lineCount()) {
        ResetLines(count); // a mark taken away, say
        return;
    }
    TakeAppendedLines(lineCount(), count);
    viewport()->update(); // lines may have come between the old ones
}

const LineSet* FilteredLinesView::shownSet() const {
    return hits_->hits();
}

int FilteredLinesView::LogLineOf(int line) const {
    return hits_->LogLineIndex(line);
}

int FilteredLinesView::LineAtOrAfter(int logLine) const {
    const LineSet* set = hits_->hits();
    return set != nullptr ? std::min(set->Rank(logLine), lineCount()) : 0;
}

bool FilteredLinesView::ServesCommand(int id) const {
    switch (id) {
    case CommandId::kFind:
    case CommandId::kFindNext:
    case CommandId::kFindPrevious:
        return false; // the log view's
    default:
        return LogLinesView::ServesCommand(id);
    }
}

void FilteredLinesView::mousePressEvent(QMouseEvent* event) {
    LogLinesView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && !event->modifiers().testFlag(Qt::ShiftModifier) &&
        caretLine() < lineCount()) {
        emit lineChosen(LogLineOf(caretLine()));
    }
}

void FilteredLinesView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        caretLine() < lineCount()) {
        emit lineChosen(LogLineOf(caretLine()));
        event->accept();
        return;
    }
    // Up and Down go from hit to hit, for Enter to take, rather than only
    // scroll the list.
    const bool plain = event->modifiers() == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && lineCount() > 0) {
        const int step = event->key() == Qt::Key_Down ? 1 : -1;
        GoToLine(std::clamp(caretLine() + step, 0, lineCount() - 1));
        event->accept();
        return;
    }
    LogLinesView::keyPressEvent(event);
}
