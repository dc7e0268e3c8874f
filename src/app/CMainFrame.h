#pragma once

#include "CBansDlg.h"
#include "CFindAllLogsDlg.h"
#include "DocumentRegistry.h"
#include "MessageBoxSink.h"
#include "RecentFileList.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <map>
#include <memory>

class CChildFrame;
class CQuarvelDoc;
class CQuarvelView;
class LockKeyIndicators;
class QDockWidget;
class RconConsoleWindow;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
struct MenuLayout;

// The main window: document windows in an MDI area, the menu bar (the plain
// menus while no log window exists, the document menus while one does), the
// toolbar and the status bar. It opens logs (File Open, the recent-file list,
// dropped files, the command line), keeps one document per file, and hands
// the view's commands to the active view.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Opens the log at `path` in a new window, or activates the window of the
    // log when it is already open. A file that cannot be opened is reported
    // ("Cannot open <path>: No such file.", or whatever the reason) and gives
    // no window; returns false then.
    bool OpenDocumentFile(const QString& path);
    // Loads at once whatever the open logs have left to load (a picture or
    // a test that cannot wait for the slices).
    void FinishLoading();

    // Where the frame's own messages go; message boxes over the frame unless
    // set otherwise (tests record them instead). Null restores the default.
    void setMessageSink(MessageSink* sink);
    MessageSink& messageSink() const { return *messages_; }

    // The action of a command id (CommandId), or nullptr.
    QAction* commandAction(int id) const;
    // The action of recent-file entry `index` (0 for the most recent).
    QAction* recentFileAction(int index) const;

    QList<CChildFrame*> childFrames() const;
    CChildFrame* activeFrame() const;
    CQuarvelView* activeView() const;
    // The Window menu's entries for the open windows, in creation order.
    const QList<QAction*>& windowListActions() const { return windowListActions_; }

    QMdiArea* mdiArea() const { return mdiArea_; }
    QToolBar* toolBar() const { return toolBar_; }
    // The Servers panel's dock; null until View > Servers first shows it.
    QDockWidget* serversDock() const { return serversDock_; }
    QLabel* messagePane() const { return messagePane_; }
    // "Ln 12, Col 5" for the caret of the active window's focused pane.
    QLabel* caretPane() const { return caretPane_; }
    // The Find in all logs window; null before its first use.
    CFindAllLogsDlg* findAllLogsWindow() const { return findAllLogs_.data(); }
    // The Bans window; null before its first use and once closed.
    CBansDlg* bansWindow() const { return bansWindow_.data(); }
    LockKeyIndicators* lockKeys() const { return lockKeys_; }
    const DocumentRegistry& documents() const { return documents_; }
    const RecentFileList& recentFiles() const { return recentFiles_; }

public slots:
    // Refreshes the enabled and checked state of every action.
    void UpdateCommandStates();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    QMenu* CreateMenu(const MenuLayout& layout);
    void CreateToolBar();
    void CreateStatusBar();

    void CreateFrame(const std::shared_ptr<CQuarvelDoc>& document);
    // The size of the MDI area's client part, also before the window shows.
    QSize MdiClientSize();
    // The Window menu's list of the open windows after its commands.
    void UpdateWindowList();
    // The main window's geometry, its toolbar and its status bar as the
    // user left them in the last run; 800 by 600 the first time.
    void RestoreWindowPlacement();
    void SaveWindowPlacement() const;
    void RefreshFrameState();
    void ShowMenuSet(bool documentMenus);
    void UpdateFrameTitles();
    void UpdateRecentFileActions();
    // The active log's line count and file status in the status bar.
    void UpdateLogPanes();
    // Where the caret of the active window's focused pane is.
    void UpdateCaretPane();
    // The context menu of a pane: the commands' own actions, in their
    // current state.
    void ShowContextMenu(const QPoint& globalPosition, const std::vector<int>& commands);

    // Command handlers.
    void OnFileOpen();
    void OnFileClose();
    // Closes every window of the document.
    void CloseFramesOf(const CQuarvelDoc* document);
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnOpenRecentFile(int index);
    void OnWindowNew();
    void OnWindowCascade();
    void OnWindowArrange();
    void OnAppAbout();
    void OnFindPlayer();
    // Search > Find in all logs: its window, made at the first use; a hit
    // chosen there brings its log's window to the line.
    void OnFindInAllLogs();
    void ShowHit(const QString& path, int line);
    // View > Servers: shows or hides the Servers panel, made the first time.
    void OnViewServers(bool shown);
    // Tools > RCON console: a console window for the server chosen (the one
    // configured, or one picked from the list); returned for a file to run
    // in, null when none was chosen.
    RconConsoleWindow* OnRconConsole();
    // Tools > Servers: the Servers dialog over quarvel.cfg as it is now; once
    // it has saved, the configuration is read again (ReloadConfiguration).
    void OnServersDialog();
    // Tools > Bans: the one Bans window, made at its first use.
    void OnBansWindow();
    // The configuration read again from its file: the commands' states, the
    // Servers panel and the consoles' password lists follow it; lines it
    // refuses are told as at start-up.
    void ReloadConfiguration();
    // Tools > Execute RCON file: a chosen file's commands sent to a chosen
    // server in a console window, in order, stopping at the first failure
    // when the user says so.
    void OnExecuteRconFile();
    void OnViewCommand(int id);

    QMdiArea* mdiArea_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QLabel* fileStatusPane_ = nullptr;
    QLabel* lineCountPane_ = nullptr;
    QLabel* caretPane_ = nullptr;
    QPointer<CFindAllLogsDlg> findAllLogs_;
    QPointer<CBansDlg> bansWindow_;
    LockKeyIndicators* lockKeys_ = nullptr;
    std::map<int, QAction*> actions_;
    std::array<QAction*, RecentFileList::kSize> recentActions_{};
    QList<QMenu*> plainMenus_;
    QList<QMenu*> documentMenus_;
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> windowListActions_;
    int menuSetShown_ = -1; // 0 plain, 1 document, -1 none yet

    DocumentRegistry documents_;
    RecentFileList recentFiles_;
    MessageBoxSink messageBoxes_;
    MessageSink* messages_;
    QString lastOpenFolder_;
    QDockWidget* serversDock_ = nullptr;
};
