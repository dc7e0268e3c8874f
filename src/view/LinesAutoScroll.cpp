// Scrolling during a drag: while the pointer is held beyond an edge of the
// window, a timer scrolls toward it, faster the further out it is, and the
// selection follows to the line and column now under the pointer.
#include "LogLinesView.h"

#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int kAutoScrollInterval = 50; // milliseconds

// Steps to take toward a coordinate `beyond` pixels past an edge: one, and
// one more for every further cell's worth.
int StepsToward(int beyond, int cell, int limit) {
    return std::min(1 + beyond / std::max(cell, 1), std::max(limit, 1));
}

} // namespace

void LogLinesView::UpdateAutoScroll(QPoint point) {
    dragPoint_ = point;
    const bool beyond = !viewport()->rect().contains(point);
    if (beyond && !autoScroll_.isActive()) {
        autoScroll_.start(kAutoScrollInterval);
    } else if (!beyond) {
        autoScroll_.stop();
    }
}

void LogLinesView::OnAutoScrollTimer() {
    if (!dragging_) {
        autoScroll_.stop();
        return;
    }
    const QPoint point = dragPoint_;
    const int height = viewport()->height();
    const int width = viewport()->width();
    if (point.y() < 0) {
        topLine_ = std::max(topLine_ - StepsToward(-point.y(), lineHeight_, visibleLines_), 0);
    } else if (point.y() >= height) {
        topLine_ =
            LimitTopLine(topLine_ + StepsToward(point.y() - height, lineHeight_, visibleLines_));
    }
    if (point.x() < 0) {
        firstColumn_ =
            std::max(firstColumn_ - StepsToward(-point.x(), charWidth_, visibleColumns_), 0);
    } else if (point.x() >= width) {
        firstColumn_ =
            std::min(firstColumn_ + StepsToward(point.x() - width, charWidth_, visibleColumns_),
                     LastFirstColumn());
    }
    SetVerticalPosition();
    SetHorizontalPosition();
    viewport()->update();
    // The pointer stands still; what lies under it has moved.
    OnMouseMove(point);
}
