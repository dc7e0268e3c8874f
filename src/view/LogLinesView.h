#pragma once

#include "CaretColourTable.h"
#include "KindTables.h"
#include "LineSource.h"
#include "LogPainter.h"
#include "MessageBoxSink.h"
#include "TextPosition.h"
#include "ViewFonts.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class CSearchDlg;
class LogSearch;
class QPainter;

// Lines of a `LineSource` as the program shows log lines: one line per row
// in a fixed-pitch font on black, each stretch in the colour and weight of
// its kind, the game's colour codes applied and hidden inside names and
// messages. It owns its scroll bars and keeps its own scroll position in
// lines (`topLine`) and visible columns (`firstColumn`); the keys and the
// scroll bars move it, the left mouse button places the caret and selects,
// and it serves the commands that need nothing but the lines: Copy, Copy as
// HTML, Select All, Find, Find next and Find previous. The log view
// (`CQuarvelView`) is one; the filtered pane's list of matching lines is
// another.
//
// Positions are (line, visible column) pairs, lines counted in the source:
// a colour code takes no column and a doubled caret takes one. Selection
// ends are inclusive; a selection on one line whose start column is past its
// end column is empty.
//
// The number of lines shown (`lineCount`) is the source's as last taken in
// (`ResetLines`, `TakeAppendedLines`): a source may grow before its widget
// hears of it.
class LogLinesView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kLeftMargin = 4;
    static constexpr int kTopMargin = 4;
    static constexpr Rgb kBackgroundColour = 0x000000;
    // The caret's size is fixed, whatever the font.
    static constexpr int kCaretWidth = 2;
    static constexpr int kCaretHeight = 16;

    explicit LogLinesView(std::unique_ptr<LineSource> lines, QWidget* parent = nullptr);
    ~LogLinesView() override;

    LineSource& lines() const { return *lines_; }

    // Command routing: the frame asks `IsCommandEnabled(id)` whenever an
    // action's state may have changed (a menu is about to show, the active
    // window changed, or the view emitted `commandStateChanged()`), and calls
    // `OnCommand(id)` when the user gives a command the view serves (ids in
    // CommandIds.h). `OnCommand` returns false for an id the view does not
    // serve.
    virtual bool OnCommand(int id);
    virtual bool IsCommandEnabled(int id) const;
    // For the checkable commands.
    virtual bool IsCommandChecked(int id) const;
    // Whether the view serves the command at all (enabled or not).
    virtual bool ServesCommand(int id) const;

    // Scrolling by the scroll bars' actions, which stand for the scroll codes:
    // single steps are a line or a column, page steps a window's worth,
    // SliderMove takes the thumb's position, SliderToMinimum and
    // SliderToMaximum go to the top or left and the bottom or right end
    // (the bottom also puts the caret after the last character of the last
    // line).
    void OnVScroll(QAbstractSlider::SliderAction code);
    void OnHScroll(QAbstractSlider::SliderAction code);

    // Puts the caret at the character under a point of the window: the line
    // limited to the lines shown, the column to the line's end.
    void HitTest(int x, int y);
    // Makes the stretch the selection, puts the caret at its start and
    // scrolls it into view when its start is outside the window.
    void SelectRange(int firstLine, int firstColumn, int lastLine, int lastColumn);
    // Select All: every character shown, the caret after the last one.
    void OnEditSelectAll();
    // Puts the caret at the start of `line`, without a selection, and
    // scrolls the line into view as a search hit is.
    void GoToLine(int line);
    // Shows the caret at (caretLine, caretColumn).
    void UpdateCaretPos();

    int lineCount() const { return lineCount_; }

    // Whether the view keeps the end of a growing source in view (on at
    // first): when lines are appended while the last line is in view, the
    // view scrolls to show them. A view scrolled elsewhere stays put.
    bool following() const { return following_; }
    // Turning it on also scrolls to the end.
    void SetFollowing(bool follow);

    // The visible length of the longest line measured so far, and the
    // highest first column: the one that shows the end of that line, with
    // the cell after it, at the right edge. The horizontal scroll bar runs
    // from 0 to it and is hidden while every line fits.
    int widestLine() const { return widestLine_; }
    int LastFirstColumn() const;
    // Measures the lines the view has taken in since the last call and fits
    // the horizontal scroll range to the widest of them.
    void UpdateHorizontalRange();
    int topLine() const { return topLine_; }
    int firstColumn() const { return firstColumn_; }
    int visibleLines() const { return visibleLines_; }
    int visibleColumns() const { return visibleColumns_; }
    int caretLine() const { return caretLine_; }
    int caretColumn() const { return caretColumn_; }
    int charWidth() const { return charWidth_; }
    int lineHeight() const { return lineHeight_; }

    // The selection's bounds; they keep their values while no selection is
    // shown.
    SelectionBounds selection() const {
        return {selStartLine_, selStartColumn_, selEndLine_, selEndColumn_};
    }
    bool selectionActive() const { return selectionActive_; }
    bool dragging() const { return dragging_; }
    bool dragBackward() const { return dragBackward_; }
    // True while the view has the focus and so shows its caret.
    bool caretShown() const { return caretCreated_; }

    // The drawing tables, which the copy's HTML shares.
    const CaretColourTable& caretColours() const { return caretColours_; }
    const KindTables& kindTables() const { return kinds_; }
    const ViewFonts& fonts() const { return fonts_; }

    // The view's Search dialog, which keeps the text and options of its last
    // search.
    CSearchDlg& searchDialog() const { return *searchDialog_; }
    // The view's messages go to `sink` from now on instead of its message
    // boxes (tests).
    void SetMessageSink(MessageSink& sink) { messages_ = &sink; }
    // How long a search runs before its "Searching..." box shows; 0 shows
    // it at the search's first look at its progress (tests).
    void SetSearchBoxDelay(int ms) { searchBoxDelayMs_ = ms; }

    // Widgets beside the lines, inside the frame: `left` in a margin left of
    // the rows, `right` in a strip between the rows and the vertical scroll
    // bar, each as wide as its fixed width. Either may be null. The view
    // owns them; they are told to repaint whenever the rows move.
    void SetSideWidgets(QWidget* left, QWidget* right);
    // The row of the window that shows `line`, or -1 when it is out of view.
    int RowOf(int line) const;
    // The line at a y of the window (whose rows the side widgets share), or
    // -1 below the last line.
    int LineAtY(int y) const;

signals:
    // The answer of IsCommandEnabled may have changed (a selection appeared or
    // went away, lines came or went).
    void commandStateChanged();
    // The number of lines shown changed.
    void lineCountChanged();
    // The caret went elsewhere.
    void caretMoved();
    // The view took the focus.
    void focused();
    // The first line in view changed, or the lines under it did.
    void rowsMoved();
    // A context menu of these commands (0 a separator) is asked for at a
    // point of the screen; the frame shows it with its own actions.
    void contextMenuRequested(const QPoint& globalPosition, const std::vector<int>& commands);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // Whether the lines can be drawn at all (a log that did not load shows
    // only the background).
    virtual bool LinesDrawable() const { return true; }
    // Lines 0 .. this - 1 have their final visible lengths; the horizontal
    // range measures only those.
    virtual int MeasurableLines() const { return lineCount_; }
    // A double-click at a point of the window, after the caret went there.
    virtual void OnLButtonDblClk(QPoint point);
    // The commands of the context menu, 0 for a separator.
    virtual std::vector<int> ContextMenuCommands() const;
    // Work that lets the event loop turn while it reads the lines (a long
    // search with its Cancel box) runs through here; a view whose source
    // may change meanwhile holds those changes back until the work is done.
    virtual void HoldingLines(const std::function<void()>& work) { work(); }

    // The lines shown are the source's `count` first, taken anew: the top,
    // the caret at the start, no selection, no drag, the widths measured
    // again; with following on, the end is shown instead.
    void ResetLines(int count);
    // The source grew to `count` lines from `first` on: the range grows and,
    // following with the end in view, the view scrolls to show them.
    void TakeAppendedLines(int first, int count);
    // The top of the source, caret at its start, no selection, no drag.
    void ResetPositions();
    // The lines shown are the source's first `count`; the positions stay.
    void SetLineCount(int count);
    // Forgets the widths measured, for lines that changed under them.
    void RemeasureLines();
    // Repaints the rows of lines `first` .. `last` that are in view.
    void UpdateLines(int first, int last);
    void SetVerticalPosition();
    void SetHorizontalPosition();
    void SetSelectionActive(bool active);
    // The message boxes of the view, or the sink a test gave.
    MessageSink& messages() const { return *messages_; }

    // The caret, for the document's commands (a pick, a mark, a go-to).
    void SetCaret(int line, int column);

private:
    bool OnKeyDown(int key);
    // Shift with an arrow key: moves the selection's moving end (the caret)
    // by a character or a line, the other end staying where it is.
    bool OnShiftKeyDown(int key);
    // A press starts a new selection at the point; with `extend` (Shift) the
    // selection runs from its anchor, or from the caret, to the point.
    void OnLButtonDown(QPoint point, bool extend = false);
    void OnMouseMove(QPoint point);
    void OnLButtonUp();
    void OnActivateView(bool activating);
    void OnSize();
    void PlaceSideWidgets();

    // topLine as line down and page down leave it: the last line no higher
    // than the bottom row, and never below 0.
    int LimitTopLine(int line) const;
    // The fixed end of the selection (or the caret when none is shown) and
    // its moving end, as places between characters.
    TextPosition SelectionAnchor() const;
    TextPosition SelectionMovingEnd() const;
    // Makes the stretch between the anchor and the moving end the selection,
    // in either order, with the caret at the moving end.
    void SelectBetween(TextPosition anchor, TextPosition movingEnd);
    // Scrolls as little as needed to show the caret's cell.
    void ScrollCaretIntoView();
    // While a drag holds the pointer beyond an edge of the window, a timer
    // scrolls toward it and the selection follows (LinesAutoScroll.cpp).
    void UpdateAutoScroll(QPoint point);
    void OnAutoScrollTimer();
    QRect CaretRect() const;
    void DrawCaret(QPainter& painter);
    PaintFrame ScreenFrame(const QRect& area, const SelectionBounds& selection) const;

    // Find (F5, Ctrl+F): the Search dialog, then a search from the caret.
    // Find next (Ctrl+F5, F3): the last Find's search again, forwards from
    // just past the selection or backwards from the caret; with `reverse`
    // (Find previous, Shift+F3) the other way (LinesSearch.cpp).
    void OnFind();
    void OnFindNext(bool reverse = false);
    // Copy: the selection on the clipboard as text and as HTML, while a
    // selection is shown; Copy as HTML: the HTML's source as the text
    // (LinesCopy.cpp).
    void OnEditCopy();
    void OnEditCopyHtml();

    std::unique_ptr<LineSource> lines_;

    // normalFont and boldFont, with the cell they draw in.
    ViewFonts fonts_;
    CaretColourTable caretColours_;
    // kindColour, kindFont and kindStyle.
    KindTables kinds_;
    LogPainter painter_;

    int charWidth_;
    int lineHeight_;
    int firstColumn_ = 0;
    int visibleColumns_ = 0;
    int caretColumn_ = 0;
    int topLine_ = 0;
    int visibleLines_ = 0;
    int caretLine_ = 0;
    int lineCount_ = 0;
    int selStartLine_ = 0;
    int selEndLine_ = 0;
    int selStartColumn_ = 0;
    int selEndColumn_ = 0;
    bool selectionActive_ = false;
    bool following_ = true;
    bool dragging_ = false;
    bool dragBackward_ = false;
    // The longest line of lines 0 .. linesMeasured_ - 1, in visible columns.
    int widestLine_ = 0;
    int linesMeasured_ = 0;

    // The caret exists while the view has the focus and blinks at the
    // platform's cursor flash rate.
    bool caretCreated_ = false;
    bool caretBlinkOn_ = true;
    QTimer caretBlink_;
    QRect caretDrawn_;

    // Wheel turns of less than a notch, kept until they add up to one.
    QPoint wheelRemainder_;

    // Scrolling during a drag past an edge, toward where the pointer is.
    QTimer autoScroll_;
    QPoint dragPoint_;

    QPointer<QWidget> leftSide_;
    QPointer<QWidget> rightSide_;

    // The Search dialog (a child window) holds the options, which the
    // settings keep from one run to the next; the search holds the last
    // Find's expression and direction.
    CSearchDlg* searchDialog_ = nullptr;
    std::unique_ptr<LogSearch> search_;
    int searchBoxDelayMs_;
    // Message boxes over the view, unless a test gave another sink.
    MessageBoxSink messageBoxes_{this};
    MessageSink* messages_ = &messageBoxes_;
};
