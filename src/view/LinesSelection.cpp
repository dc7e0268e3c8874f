// The caret under the mouse, selecting by dragging with the left button (and
// extending with Shift+click or Shift and the arrow keys), Select All, and
// selecting a stretch on request (a search hit).
#include "CommandIds.h"
#include "LogLinesView.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {

QPoint PointOf(const QMouseEvent& event) {
    const QPointF position = event.position();
    return {static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y()))};
}

} // namespace

void LogLinesView::HitTest(int x, int y) {
    // Integer division truncates toward zero, so a point just above the first
    // row or just left of the first column still counts as on it.
    caretLine_ = (y - kTopMargin) / lineHeight_ + topLine_;
    if (caretLine_ >= lineCount_) {
        caretLine_ = lineCount_ - 1;
    }
    if (caretLine_ < 0) {
        // No lines at all, or a point far above the window.
        caretLine_ = 0;
        caretColumn_ = 0;
        return;
    }
    caretColumn_ = (x - kLeftMargin) / charWidth_ + firstColumn_;
    const int lineEnd = lines_->Line(caretLine_).visibleLength;
    if (caretColumn_ > lineEnd) {
        caretColumn_ = lineEnd;
    }
}

void LogLinesView::SetSelectionActive(bool active) {
    if (active != selectionActive_) {
        selectionActive_ = active;
        emit commandStateChanged();
    }
}

void LogLinesView::UpdateLines(int first, int last) {
    first = std::max(first, topLine_);
    last = std::min(last, topLine_ + visibleLines_ - 1);
    if (first > last) {
        return;
    }
    viewport()->update(0, kTopMargin + (first - topLine_) * lineHeight_, viewport()->width(),
                       (last - first + 1) * lineHeight_);
}

TextPosition LogLinesView::SelectionAnchor() const {
    if (!selectionActive_) {
        return {caretLine_, caretColumn_};
    }
    // The fixed end: the start of a selection that grows forwards, the place
    // after the end of one that grows backwards.
    return dragBackward_ ? TextPosition{selEndLine_, selEndColumn_ + 1}
                         : TextPosition{selStartLine_, selStartColumn_};
}

TextPosition LogLinesView::SelectionMovingEnd() const {
    if (!selectionActive_) {
        return {caretLine_, caretColumn_};
    }
    return dragBackward_ ? TextPosition{selStartLine_, selStartColumn_}
                         : TextPosition{selEndLine_, selEndColumn_ + 1};
}

void LogLinesView::SelectBetween(TextPosition anchor, TextPosition movingEnd) {
    const bool backward = movingEnd.line < anchor.line ||
                          (movingEnd.line == anchor.line && movingEnd.column < anchor.column);
    // The same state a drag from the anchor to the moving end leaves, so a
    // drag can go on from here.
    const TextPosition first = backward ? movingEnd : anchor;
    const TextPosition after = backward ? anchor : movingEnd;
    selStartLine_ = first.line;
    selStartColumn_ = first.column;
    selEndLine_ = after.line;
    selEndColumn_ = after.column - 1;
    dragBackward_ = backward;
    caretLine_ = movingEnd.line;
    caretColumn_ = movingEnd.column;
    SetSelectionActive(!(selStartLine_ == selEndLine_ && selStartColumn_ > selEndColumn_));
    viewport()->update();
    UpdateCaretPos();
}

void LogLinesView::ScrollCaretIntoView() {
    if (caretLine_ < topLine_) {
        topLine_ = std::max(caretLine_, 0);
    } else if (caretLine_ >= topLine_ + visibleLines_) {
        topLine_ = LimitTopLine(caretLine_ - visibleLines_ + 1);
    }
    SetVerticalPosition();
    if (caretColumn_ < firstColumn_) {
        firstColumn_ = std::max(caretColumn_, 0);
    } else if (caretColumn_ >= firstColumn_ + visibleColumns_) {
        firstColumn_ = std::min(caretColumn_ - visibleColumns_ + 1, LastFirstColumn());
    }
    SetHorizontalPosition();
    viewport()->update();
}

bool LogLinesView::OnShiftKeyDown(int key) {
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down) {
        return false;
    }
    if (lineCount_ <= 0) {
        return true;
    }
    const TextPosition anchor = SelectionAnchor();
    TextPosition end = SelectionMovingEnd();
    end.line = std::clamp(end.line, 0, lineCount_ - 1);
    const auto length = [this](int line) { return lines_->Line(line).visibleLength; };
    switch (key) {
    case Qt::Key_Left:
        // Past the start of a line to the end of the one before.
        if (end.column > 0) {
            --end.column;
        } else if (end.line > 0) {
            --end.line;
            end.column = length(end.line);
        }
        break;
    case Qt::Key_Right:
        if (end.column < length(end.line)) {
            ++end.column;
        } else if (end.line + 1 < lineCount_) {
            ++end.line;
            end.column = 0;
        }
        break;
    case Qt::Key_Up:
        end.line = std::max(end.line - 1, 0);
        end.column = std::min(end.column, length(end.line));
        break;
    case Qt::Key_Down:
        end.line = std::min(end.line + 1, lineCount_ - 1);
        end.column = std::min(end.column, length(end.line));
        break;
    default:
        break;
    }
    SelectBetween(anchor, end);
    ScrollCaretIntoView();
    return true;
}

void LogLinesView::OnEditSelectAll() {
    if (lineCount_ <= 0) {
        return;
    }
    // The scroll position stays: the whole log is selected wherever one is.
    const int last = lineCount_ - 1;
    SelectBetween({0, 0}, {last, lines_->Line(last).visibleLength});
    dragging_ = false;
}

void LogLinesView::OnLButtonDown(QPoint point, bool extend) {
    if (extend) {
        // Shift+click: from the anchor of the selection shown (or from the
        // caret) to the point, and a drag goes on from there.
        const TextPosition anchor = SelectionAnchor();
        HitTest(point.x(), point.y());
        dragging_ = true;
        SelectBetween(anchor, {caretLine_, caretColumn_});
        return;
    }
    // Any other click starts a new selection.
    if (selectionActive_) {
        SetSelectionActive(false);
        UpdateLines(selStartLine_, selEndLine_);
    }
    dragBackward_ = false;
    dragging_ = true;
    HitTest(point.x(), point.y());
    // An empty selection anchored at the caret.
    selStartLine_ = caretLine_;
    selEndLine_ = caretLine_;
    selStartColumn_ = caretColumn_;
    selEndColumn_ = caretColumn_ - 1;
    UpdateCaretPos();
}

void LogLinesView::OnMouseMove(QPoint point) {
    if (!dragging_) {
        return;
    }
    UpdateAutoScroll(point);
    SetSelectionActive(true);
    HitTest(point.x(), point.y());
    const int n = caretLine_;
    const int k = caretColumn_;
    // The lines whose highlight may change: those between the moving end's
    // old and new places.
    int changedFirst = n;
    int changedLast = n;
    if (!dragBackward_) {
        // The start is fixed; the end follows the pointer, and the caret sits
        // on the first column after the selection.
        if (n < selStartLine_ || (n == selStartLine_ && k < selStartColumn_)) {
            // The pointer passed the anchor backwards: the anchor becomes the
            // end and the start follows the pointer from now on.
            selEndLine_ = selStartLine_;
            selEndColumn_ = selStartColumn_ - 1;
            selStartLine_ = n;
            selStartColumn_ = k;
            dragBackward_ = true;
            viewport()->update();
        } else {
            changedFirst = std::min(n, selEndLine_);
            changedLast = std::max(n, selEndLine_);
            selEndLine_ = n;
            selEndColumn_ = k - 1;
        }
    } else {
        // The end is fixed; the start follows the pointer, and the caret sits
        // on the selection's first character.
        if (n > selEndLine_ || (n == selEndLine_ && k > selEndColumn_)) {
            // The pointer passed the anchor forwards.
            selStartLine_ = selEndLine_;
            selStartColumn_ = selEndColumn_ + 1;
            selEndLine_ = n;
            selEndColumn_ = k - 1;
            dragBackward_ = false;
            SetSelectionActive(true);
            viewport()->update();
        } else {
            changedFirst = std::min(n, selStartLine_);
            changedLast = std::max(n, selStartLine_);
            selStartLine_ = n;
            selStartColumn_ = k;
        }
    }
    UpdateLines(changedFirst, changedLast);
    UpdateCaretPos();
}

void LogLinesView::OnLButtonUp() {
    autoScroll_.stop();
    if (!dragging_) {
        return;
    }
    dragging_ = false;
    // A click without a move, or a drag back to where it began, selects
    // nothing.
    if (selStartLine_ == selEndLine_ && selStartColumn_ > selEndColumn_) {
        SetSelectionActive(false);
    }
}

void LogLinesView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    // The press grabs the mouse for the view until the release, so a drag
    // that leaves the window keeps selecting.
    OnLButtonDown(PointOf(*event), event->modifiers().testFlag(Qt::ShiftModifier));
    event->accept();
}

void LogLinesView::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(PointOf(*event));
    event->accept();
}

void LogLinesView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    OnLButtonUp();
    event->accept();
}

void LogLinesView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click does not start a selection; what
    // else it does is the view's (a player's name opens Player Info).
    if (event->button() == Qt::LeftButton) {
        OnLButtonDblClk(PointOf(*event));
    }
    event->accept();
}

void LogLinesView::contextMenuEvent(QContextMenuEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->reason() == QContextMenuEvent::Mouse) {
        // A click outside the selection moves the caret there, and the
        // selection goes; inside it the selection stays for Copy.
        // A mouse's menu event comes from the viewport, in its coordinates.
        HitTest(event->pos().x(), event->pos().y());
        const TextPosition at{caretLine_, caretColumn_};
        const auto before = [](TextPosition a, TextPosition b) {
            return a.line < b.line || (a.line == b.line && a.column < b.column);
        };
        const bool inSelection = selectionActive_ &&
                                 !before(at, {selStartLine_, selStartColumn_}) &&
                                 !before({selEndLine_, selEndColumn_}, at);
        if (inSelection) {
            // The caret stays at the selection's moving end.
            const TextPosition end = SelectionMovingEnd();
            caretLine_ = end.line;
            caretColumn_ = end.column;
        } else if (selectionActive_) {
            SetSelectionActive(false);
            viewport()->update();
        }
        UpdateCaretPos();
    }
    const QPoint global = event->reason() == QContextMenuEvent::Mouse
                              ? event->globalPos()
                              : viewport()->mapToGlobal(CaretRect().bottomLeft());
    emit contextMenuRequested(global, ContextMenuCommands());
    event->accept();
}

std::vector<int> LogLinesView::ContextMenuCommands() const {
    return {CommandId::kEditCopy, CommandId::kEditCopyHtml, CommandId::kEditSelectAll};
}

void LogLinesView::OnLButtonDblClk(QPoint point) {
    // The caret goes where the pointer is, as a single click puts it.
    HitTest(point.x(), point.y());
    UpdateCaretPos();
}

void LogLinesView::SelectRange(int firstLine, int firstColumn, int lastLine, int lastColumn) {
    if (selectionActive_) {
        UpdateLines(selStartLine_, selEndLine_);
    }
    selStartLine_ = firstLine;
    selStartColumn_ = firstColumn;
    selEndLine_ = lastLine;
    selEndColumn_ = lastColumn;
    caretLine_ = firstLine;
    caretColumn_ = firstColumn;
    // The start is the anchor: Shift extends the stretch from there.
    dragBackward_ = false;
    SetSelectionActive(true);

    // A start outside the window puts the stretch about half a window from
    // the top, or shows the last page when it is near the end.
    if (firstLine < topLine_ || firstLine >= topLine_ + visibleLines_) {
        topLine_ = LimitTopLine(firstLine - visibleLines_ / 2);
        SetVerticalPosition();
    }
    if (firstColumn < firstColumn_ || firstColumn >= firstColumn_ + visibleColumns_) {
        firstColumn_ = std::clamp(firstColumn - visibleColumns_ / 2, 0, LastFirstColumn());
        SetHorizontalPosition();
    }
    viewport()->update();
    UpdateCaretPos();
}
