// Scrolling the lines: the two scroll bars, the keys and the mouse wheel.
// The horizontal range follows the widest line, so the end of any line,
// however long, can be scrolled into view.
#include "LogLinesView.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

namespace {

// A wheel notch, in the eighths of a degree the wheel events count.
constexpr int kWheelNotch = 120;
constexpr int kStepsPerNotch = 3;

} // namespace

int LogLinesView::LimitTopLine(int line) const {
    if (line + visibleLines_ > lineCount_) {
        line = lineCount_ - visibleLines_;
    }
    return std::max(line, 0);
}

int LogLinesView::LastFirstColumn() const {
    return std::max(widestLine_ + 1 - visibleColumns_, 0);
}

void LogLinesView::UpdateHorizontalRange() {
    const int measurable = std::min(lineCount_, MeasurableLines());
    if (linesMeasured_ < measurable) {
        widestLine_ = lines_->WidestVisible(linesMeasured_, measurable, widestLine_);
        linesMeasured_ = measurable;
    }
    const int last = LastFirstColumn();
    firstColumn_ = std::min(firstColumn_, last);
    // Setting the range may hide or show the bar, which resizes the window
    // and comes back here through OnSize; the range is right by then.
    horizontalScrollBar()->setRange(0, last);
    SetHorizontalPosition();
}

void LogLinesView::SetVerticalPosition() {
    verticalScrollBar()->setValue(topLine_);
    emit rowsMoved();
}

void LogLinesView::SetHorizontalPosition() {
    horizontalScrollBar()->setValue(firstColumn_);
}

void LogLinesView::OnVScroll(QAbstractSlider::SliderAction code) {
    switch (code) {
    case QAbstractSlider::SliderSingleStepSub:
        topLine_ = std::max(topLine_ - 1, 0);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        topLine_ = LimitTopLine(topLine_ + 1);
        break;
    case QAbstractSlider::SliderPageStepSub:
        topLine_ = std::max(topLine_ - visibleLines_, 0);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        topLine_ = LimitTopLine(topLine_ + visibleLines_);
        break;
    case QAbstractSlider::SliderMove:
        topLine_ = verticalScrollBar()->sliderPosition();
        break;
    case QAbstractSlider::SliderToMinimum:
        topLine_ = 0;
        firstColumn_ = 0;
        caretLine_ = 0;
        caretColumn_ = 0;
        SetHorizontalPosition();
        emit caretMoved();
        break;
    case QAbstractSlider::SliderToMaximum:
        // The last page, and the caret after the last character of the log.
        // A log without lines leaves the caret on line -1, above the first
        // row, where it shows nowhere.
        topLine_ = std::max(lineCount_ - visibleLines_, 0);
        firstColumn_ = 0;
        caretLine_ = lineCount_ - 1;
        caretColumn_ = lineCount_ > 0 ? lines_->Line(caretLine_).visibleLength : 0;
        SetHorizontalPosition();
        emit caretMoved();
        break;
    default:
        break;
    }
    SetVerticalPosition();
    viewport()->update();
}

void LogLinesView::OnHScroll(QAbstractSlider::SliderAction code) {
    switch (code) {
    case QAbstractSlider::SliderSingleStepSub:
        firstColumn_ = std::max(firstColumn_ - 1, 0);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        firstColumn_ = std::min(firstColumn_ + 1, LastFirstColumn());
        break;
    case QAbstractSlider::SliderPageStepSub:
        firstColumn_ = std::max(firstColumn_ - visibleColumns_, 0);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        firstColumn_ = std::min(firstColumn_ + visibleColumns_, LastFirstColumn());
        break;
    case QAbstractSlider::SliderMove:
        firstColumn_ = horizontalScrollBar()->sliderPosition();
        break;
    case QAbstractSlider::SliderToMinimum:
        firstColumn_ = 0;
        break;
    case QAbstractSlider::SliderToMaximum:
        firstColumn_ = LastFirstColumn();
        break;
    default:
        break;
    }
    SetHorizontalPosition();
    viewport()->update();
}

bool LogLinesView::OnKeyDown(int key) {
    // Modifiers are not looked at here: Ctrl+End is End. The arrows scroll;
    // no key moves the caret or changes the selection, except that Home and
    // End take the caret to the log's start and end. Shift and an arrow
    // extend the selection instead (OnShiftKeyDown).
    switch (key) {
    case Qt::Key_PageUp:
        OnVScroll(QAbstractSlider::SliderPageStepSub);
        return true;
    case Qt::Key_PageDown:
        OnVScroll(QAbstractSlider::SliderPageStepAdd);
        return true;
    case Qt::Key_End:
        OnVScroll(QAbstractSlider::SliderToMaximum);
        return true;
    case Qt::Key_Home:
        OnVScroll(QAbstractSlider::SliderToMinimum);
        return true;
    case Qt::Key_Left:
        OnHScroll(QAbstractSlider::SliderSingleStepSub);
        return true;
    case Qt::Key_Up:
        OnVScroll(QAbstractSlider::SliderSingleStepSub);
        return true;
    case Qt::Key_Right:
        OnHScroll(QAbstractSlider::SliderSingleStepAdd);
        return true;
    case Qt::Key_Down:
        OnVScroll(QAbstractSlider::SliderSingleStepAdd);
        return true;
    default:
        return false;
    }
}

void LogLinesView::keyPressEvent(QKeyEvent* event) {
    const bool extends = event->modifiers().testFlag(Qt::ShiftModifier);
    if (extends && OnShiftKeyDown(event->key())) {
        event->accept();
    } else if (OnKeyDown(event->key())) {
        event->accept();
    } else {
        // Left to the windows around the view.
        event->ignore();
    }
}

void LogLinesView::wheelEvent(QWheelEvent* event) {
    // Three lines a notch; with Shift, or on a sideways wheel, three columns.
    const QPoint delta = event->angleDelta();
    const bool sideways =
        event->modifiers().testFlag(Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
    int& remainder = sideways ? wheelRemainder_.rx() : wheelRemainder_.ry();
    remainder += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = remainder / kWheelNotch;
    remainder -= notches * kWheelNotch;
    // Turning the wheel away from the user goes up or left.
    const QAbstractSlider::SliderAction step =
        notches > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
    for (int i = 0; i < std::abs(notches) * kStepsPerNotch; ++i) {
        if (sideways) {
            OnHScroll(step);
        } else {
            OnVScroll(step);
        }
    }
    event->accept();
}
