// Taking in the lines of the source: anew, or the lines it grew by, keeping
// the end in view while it was in view; and going to a line.
#include "LogLinesView.h"
#include "LogSearch.h"

#include <QScrollBar>
#include <algorithm>

void LogLinesView::ResetLines(int count) {
    // Other lines now, or the same ones written anew: nothing of the old
    // positions applies.
    const bool hadSelection = selectionActive_;
    ResetPositions();
    SetLineCount(count);
    search_->ForgetLines();
    RemeasureLines();
    SetHorizontalPosition();
    SetVerticalPosition();
    if (following_) {
        OnVScroll(QAbstractSlider::SliderToMaximum);
    }
    viewport()->update();
    UpdateCaretPos();
    if (hadSelection) {
        emit commandStateChanged();
    }
    emit lineCountChanged();
}

void LogLinesView::SetLineCount(int count) {
    const bool wasEmpty = lineCount_ == 0;
    lineCount_ = count;
    verticalScrollBar()->setRange(0, std::max(lineCount_ - visibleLines_, 0));
    emit rowsMoved();
    // Select All and the like serve only lines: an empty log that got its
    // first lines (or a log truncated to none) changes their state.
    if (wasEmpty != (lineCount_ == 0)) {
        emit commandStateChanged();
    }
}

void LogLinesView::RemeasureLines() {
    widestLine_ = 0;
    linesMeasured_ = 0;
    UpdateHorizontalRange();
}

void LogLinesView::TakeAppendedLines(int first, int count) {
    // The last line was in view, or every line fitted.
    const bool endInView = topLine_ + visibleLines_ >= lineCount_;
    SetLineCount(count);
    UpdateHorizontalRange(); // measures only the new lines
    if (following_ && endInView) {
        topLine_ = LimitTopLine(lineCount_);
        SetVerticalPosition();
        viewport()->update();
    } else {
        // Only the rows of new lines that fall in the window change.
        UpdateLines(first, lineCount_ - 1);
        emit rowsMoved();
    }
    emit lineCountChanged();
}

void LogLinesView::SetFollowing(bool follow) {
    if (follow == following_) {
        return;
    }
    following_ = follow;
    if (following_) {
        topLine_ = LimitTopLine(lineCount_);
        SetVerticalPosition();
        viewport()->update();
    }
    emit commandStateChanged();
}

void LogLinesView::GoToLine(int line) {
    if (lineCount_ <= 0) {
        return;
    }
    line = std::clamp(line, 0, lineCount_ - 1);
    if (selectionActive_) {
        SetSelectionActive(false);
    }
    dragBackward_ = false;
    caretLine_ = line;
    caretColumn_ = 0;
    // Placed as a search hit is: about half a window from the top.
    if (line < topLine_ || line >= topLine_ + visibleLines_) {
        topLine_ = LimitTopLine(line - visibleLines_ / 2);
        SetVerticalPosition();
    }
    firstColumn_ = 0;
    SetHorizontalPosition();
    viewport()->update();
    UpdateCaretPos();
}
