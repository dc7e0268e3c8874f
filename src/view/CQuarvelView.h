#pragma once

#include "CaretColourTable.h"
#include "KindTables.h"
#include "LogPainter.h"
#include "LogPrintJob.h"
#include "MessageBoxSink.h"
#include "ModelLines.h"
#include "TextPosition.h"
#include "ViewFonts.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <memory>

class CDatabaseUpdateDlg;
class CGoToDlg;
class CPlayerInfoDlg;
class AppConfig;
class CQuarvelDoc;
class CSearchDlg;
class LoadingProgress;
class LogSearch;
class QPagedPaintDevice;
class QPainter;

// The window that shows one document's log: one log line per row in a
// fixed-pitch font on black, each stretch of a line in the colour and weight
// of its kind, the game's colour codes applied and hidden inside names and
// messages. It owns its scroll bars and keeps its own scroll position in
// lines (`topLine`) and visible columns (`firstColumn`); the keys and the
// scroll bars move it, the left mouse button places the caret and selects.
// Each child frame holds exactly one; a document may have several (the
// Window menu's New Window).
//
// What the frames rely on, and all they rely on:
// - Construction with the document, which outlives the view.
// - `OnUpdate()`: called once by the frame after the view has been created,
//   put into its frame and laid out, before the frame is first painted. It
//   classifies the document's lines behind a progress bar over the main
//   window's message pane (see `FindMessagePane`). When the log is opened
//   from the command line, the main window is not yet visible.
// - Command routing: the frame asks `IsCommandEnabled(id)` whenever an
//   action's state may have changed (a menu is about to show, the active
//   window changed, or the view emitted `commandStateChanged()`), and calls
//   `OnCommand(id)` when the user gives a command the view serves: Copy,
//   Select All, Find, Find next, Go to, Database update and Execute RCON file
//   (ids in CommandIds.h).
//   `OnCommand` returns false for an id the view does not serve.
// - Print: the frame asks the user for a printer, the stretch (the whole log
//   or the selection) and whether long lines wrap, and calls `Print()` with
//   the printer, or with a preview's printer for Print Preview. The pages
//   are white, the kinds' colours made legible on white (LogPrintJob).
//   `IsCommandEnabled(kFilePrint)` gates both.
//
// Positions are (line, visible column) pairs: a colour code takes no column
// and a doubled caret takes one. Selection ends are inclusive; a selection on
// one line whose start column is past its end column is empty.
class CQuarvelView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kLeftMargin = 4;
    static constexpr int kTopMargin = 4;
    static constexpr Rgb kBackgroundColour = 0x000000;
    // The caret's size is fixed, whatever the font.
    static constexpr int kCaretWidth = 2;
    static constexpr int kCaretHeight = 16;

    // `config` (the servers, the database) is read, never kept a copy of, and
    // outlives the view.
    CQuarvelView(CQuarvelDoc& document, const AppConfig& config, QWidget* parent = nullptr);
    ~CQuarvelView() override;

    CQuarvelDoc& document() const { return document_; }

    void OnUpdate();

    bool OnCommand(int id);
    bool IsCommandEnabled(int id) const;
    // For the checkable commands (Follow end of log, Keep database updated).
    bool IsCommandChecked(int id) const;

    // Prints the log, or the selection with `choice.selectionOnly`, on
    // `device`, one page after another: pages `fromPage` to `toPage`
    // (counted from 1; 0 for the first or the last). Long jobs show their
    // progress and can be cancelled. False when printing could not begin or
    // the user cancelled (ViewPrint.cpp).
    bool Print(QPagedPaintDevice& device, const PrintChoice& choice, int fromPage = 0,
               int toPage = 0);

    // Scrolling by the scroll bars' actions, which stand for the scroll codes:
    // single steps are a line or a column, page steps a window's worth,
    // SliderMove takes the thumb's position, SliderToMinimum and
    // SliderToMaximum go to the top or left and the bottom or right end
    // (the bottom also puts the caret after the last character of the log).
    void OnVScroll(QAbstractSlider::SliderAction code);
    void OnHScroll(QAbstractSlider::SliderAction code);

    // Puts the caret at the character under a point of the window: the line
    // limited to the log, the column to the line's end.
    void HitTest(int x, int y);
    // Makes the stretch the selection, puts the caret at its start and
    // scrolls it into view when its start is outside the window.
    void SelectRange(int firstLine, int firstColumn, int lastLine, int lastColumn);
    // Select All: every character of the log, the caret after the last one.
    void OnEditSelectAll();
    // Puts the caret at the start of `line`, without a selection, and
    // scrolls the line into view as a search hit is.
    void GoToLine(int line);
    // Shows the caret at (caretLine, caretColumn).
    void UpdateCaretPos();

    // The number of lines the view shows: those of its update and every line
    // appended since.
    int lineCount() const { return lineCount_; }

    // Whether the view keeps the end of a growing log in view (on at
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
    // True while the view is active and so shows its caret.
    bool caretShown() const { return caretCreated_; }

    // The player's window a double-click on a name opens; null until the
    // first pick.
    CPlayerInfoDlg* playerInfoDialog() const { return playerInfoDialog_; }
    // True while this view's database update runs.
    bool updateRunning() const { return updateRunning_; }

    // The drawing tables, which the copy's HTML shares.
    const CaretColourTable& caretColours() const { return caretColours_; }
    const KindTables& kindTables() const { return kinds_; }
    const ViewFonts& fonts() const { return fonts_; }

    // The view's Search dialog, which keeps the text and options of its last
    // search.
    CSearchDlg& searchDialog() const { return *searchDialog_; }
    // The view's Go To dialog, which keeps the last line or time asked for.
    CGoToDlg& goToDialog() const { return *goToDialog_; }
    // The view's messages go to `sink` from now on instead of its message
    // boxes (tests).
    void SetMessageSink(MessageSink& sink) { messages_ = &sink; }

signals:
    // The answer of IsCommandEnabled may have changed (a selection appeared or
    // went away, a database update started or ended).
    void commandStateChanged();
    // The number of lines shown changed (the log grew or was loaded again).
    void lineCountChanged();

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

private:
    void OnSize();
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
    // Opens the Player Info window on the player's name under the point.
    void OnLButtonDblClk(QPoint point);
    // Harvests the document's players into the configured database.
    void OnDatabaseUpdate();
    // Turns the document's live harvest on or off.
    void OnKeepDatabaseUpdated();

    // The document's log grew by lines `first` .. its end, or was loaded
    // again from scratch.
    void OnLinesAppended(int first);
    // The top of the log, caret at its start, no selection, no drag.
    void ResetPositions();
    void OnReloaded();
    // A slice of the document's loading was done, or the last one.
    void OnLoadProgressed();
    void OnLoadFinished();

    // topLine as line down and page down leave it: the last line no higher
    // than the bottom row, and never below 0.
    int LimitTopLine(int line) const;
    void SetVerticalPosition();
    void SetHorizontalPosition();
    void SetSelectionActive(bool active);
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
    // scrolls toward it and the selection follows (ViewAutoScroll.cpp).
    void UpdateAutoScroll(QPoint point);
    void OnAutoScrollTimer();
    // Go to (Ctrl+G): a line number or a time of the log (ViewGoTo.cpp).
    void OnGoTo();
    // Repaints the rows of lines `first` .. `last` that are in view.
    void UpdateLines(int first, int last);
    QRect CaretRect() const;
    void DrawCaret(QPainter& painter);
    PaintFrame ScreenFrame(const QRect& area, const SelectionBounds& selection) const;

    // Find (F5): the Search dialog, then a search from the caret. Find next
    // (Ctrl+F5): the last Find's search again, forwards from just past the
    // selection or backwards from the caret.
    void OnFind();
    void OnFindNext();
    // Copy: the selection on the clipboard as text and as HTML, while a
    // selection is shown.
    void OnEditCopy();
    bool OnUpdateEditCopy() const { return selectionActive_; }

    CQuarvelDoc& document_;
    const AppConfig& config_;
    ModelLines lines_;

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
    // Only classified lines are measured: a line's codes are hidden once it
    // is.
    int widestLine_ = 0;
    int linesMeasured_ = 0;
    // Shown while the document loads.
    QPointer<LoadingProgress> loadingProgress_;

    // The caret exists while the view is active and blinks at the
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

    // The Go To dialog, a child window of the view.
    CGoToDlg* goToDialog_ = nullptr;

    // The Search dialog (a child window) holds the options, which the
    // settings keep from one run to the next; the search holds the last
    // Find's expression and direction.
    CSearchDlg* searchDialog_ = nullptr;
    std::unique_ptr<LogSearch> search_;
    // Message boxes over the view, unless a test gave another sink.
    MessageBoxSink messageBoxes_{this};
    MessageSink* messages_ = &messageBoxes_;

    // Made at the first pick, owned by the view as its child window.
    CPlayerInfoDlg* playerInfoDialog_ = nullptr;
    bool updateRunning_ = false;
    // The running or finished update's window, until its "Close".
    QPointer<CDatabaseUpdateDlg> updateDialog_;
};
