#pragma once

#include "LogLinesView.h"
#include "LogPrintJob.h"

#include <QPointer>
#include <optional>

class CDatabaseUpdateDlg;
class CGoToDlg;
class CPlayerInfoDlg;
class AppConfig;
class CQuarvelDoc;
class LoadingProgress;
class OverviewStrip;
class QPagedPaintDevice;

// A player's name in a line: the line and the name's segment.
struct PlayerAt {
    LineView line;
    LineSegment segment;
};

// The window that shows one document's log: its lines as a `LogLinesView`
// shows lines, with what belongs to a log besides: the classification
// behind a progress bar, following the file as it grows or is loaded again,
// the Player Info window a double-click on a name opens, Go to, the
// database update and printing. Each child frame holds exactly one; a
// document may have several (the Window menu's New Window).
//
// What the frames rely on, and all they rely on:
// - Construction with the document, which outlives the view.
// - `OnUpdate()`: called once by the frame after the view has been created,
//   put into its frame and laid out, before the frame is first painted. It
//   classifies the document's lines behind a progress bar over the main
//   window's message pane (see `FindMessagePane`). When the log is opened
//   from the command line, the main window is not yet visible.
// - Command routing as `LogLinesView` has it, with the log's own commands
//   besides: Reload, Go to, Player Info, Database update, Keep database
//   updated, Follow end of log and Execute RCON file (ids in CommandIds.h).
// - Print: the frame asks the user for a printer, the stretch (the whole log
//   or the selection) and whether long lines wrap, and calls `Print()` with
//   the printer, or with a preview's printer for Print Preview. The pages
//   are white, the kinds' colours made legible on white (LogPrintJob).
//   `IsCommandEnabled(kFilePrint)` gates both.
class CQuarvelView : public LogLinesView {
    Q_OBJECT

public:
    // `config` (the servers, the database) is read, never kept a copy of, and
    // outlives the view.
    CQuarvelView(CQuarvelDoc& document, const AppConfig& config, QWidget* parent = nullptr);
    ~CQuarvelView() override;

    CQuarvelDoc& document() const { return document_; }

    void OnUpdate();

    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) const override;
    // For the checkable commands (Follow end of log, Keep database updated).
    bool IsCommandChecked(int id) const override;
    bool ServesCommand(int id) const override;

    // Prints the log, or the selection with `choice.selectionOnly`, on
    // `device`, one page after another: pages `fromPage` to `toPage`
    // (counted from 1; 0 for the first or the last). Long jobs show their
    // progress and can be cancelled, except a print preview's, whose pages
    // must be recorded without the event loop turning. False when printing
    // could not begin or the user cancelled (ViewPrint.cpp).
    bool Print(QPagedPaintDevice& device, const PrintChoice& choice, int fromPage = 0,
               int toPage = 0);
    // How long printing runs before its progress and Cancel show (tests
    // show them at once).
    void SetPrintProgressDelay(int ms) { printProgressDelayMs_ = ms; }

    // The player's window a double-click on a name opens; null until the
    // first pick.
    CPlayerInfoDlg* playerInfoDialog() const { return playerInfoDialog_; }
    // True while this view's database update runs.
    bool updateRunning() const { return updateRunning_; }

    // The view's Go To dialog, which keeps the last line or time asked for.
    CGoToDlg& goToDialog() const { return *goToDialog_; }

    // The strip beside the vertical scroll bar that shows where the
    // matches and the marks are (ViewMarks.cpp).
    OverviewStrip* overviewStrip() const { return overview_; }

    // The player's name the caret is on, if it is on one (ViewPlayerPick.cpp).
    std::optional<PlayerAt> PlayerAtCaret() const;

signals:
    // The filtered pane is asked for one player's lines (his GUID and his
    // name as the line wrote it), or for the lines holding a text.
    void playerLinesRequested(const QString& guid, const QString& name);
    void textFilterRequested(const QString& text);

protected:
    bool LinesDrawable() const override;
    int MeasurableLines() const override;
    // Opens the Player Info window on the player's name under the point.
    void OnLButtonDblClk(QPoint point) override;
    std::vector<int> ContextMenuCommands() const override;
    // The document's file changes wait while the work lets the event loop
    // turn.
    void HoldingLines(const std::function<void()>& work) override;

private:
    // Harvests the document's players into the configured database.
    void OnDatabaseUpdate();
    // Turns the document's live harvest on or off.
    void OnKeepDatabaseUpdated();

    // The document's log grew by lines `first` .. its end, or was loaded
    // again from scratch.
    void OnLinesAppended(int first);
    void OnReloaded();
    // The bar and Cancel of a log loading in slices, over the message pane.
    void ShowLoadingProgress();
    // The Player Info window on the name at the caret.
    void OnPlayerInfo();
    // The filtered pane on the player at the caret, or on the selected text
    // of one line (ViewPlayerPick.cpp).
    void OnFilterByPlayer();
    void OnFilterBySelection();
    // F2 and Shift+F2: the caret to the next or previous marked line
    // (ViewMarks.cpp).
    void GoToMark(bool forwards);
    void InstallMarkMargin();
    // A slice of the document's loading was done, or the last one.
    void OnLoadProgressed();
    void OnLoadFinished();

    // Go to (Ctrl+G): a line number or a time of the log (ViewGoTo.cpp).
    void OnGoTo();
    bool PrintPages(QPagedPaintDevice& device, const PrintChoice& choice, int fromPage, int toPage);

    CQuarvelDoc& document_;
    const AppConfig& config_;

    // Shown while the document loads.
    QPointer<LoadingProgress> loadingProgress_;

    // The Go To dialog, a child window of the view.
    CGoToDlg* goToDialog_ = nullptr;
    OverviewStrip* overview_ = nullptr;
    int printProgressDelayMs_ = 500;

    // Made at the first pick, owned by the view as its child window.
    CPlayerInfoDlg* playerInfoDialog_ = nullptr;
    bool updateRunning_ = false;
    // The running or finished update's window, until its "Close".
    QPointer<CDatabaseUpdateDlg> updateDialog_;
};
