#include "CMainFrame.h"

#include "CChildFrame.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "CopyIcon.h"
#include "FrameCommands.h"
#include "GlobalConfig.h"
#include "LockKeyIndicators.h"
#include "MessagePane.h"
#include "Messages.h"
#include "ProgramIcon.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <algorithm>

using namespace CommandId;

namespace {

// The commands the active view serves; the frame only passes them on.
constexpr std::array kViewCommands = {kEditCopy,       kEditCopyHtml,      kEditSelectAll,
                                      kFind,           kFindNext,          kFindPrevious,
                                      kGoTo,           kFileReload,        kPlayerInfo,
                                      kDatabaseUpdate, kFollowEnd,         kKeepDatabaseUpdated,
                                      kFilterByPlayer, kFilterBySelection, kToggleMark,
                                      kNextMark,       kPreviousMark};

// The view commands that are switched on and off.
constexpr std::array kCheckableViewCommands = {kFollowEnd, kKeepDatabaseUpdated};

// Commands that need a document window and are served by the frame.
constexpr std::array kWindowCommands = {kFileClose,  kWindowNew,     kWindowCascade,
                                        kWindowTile, kWindowArrange, kFindInAllLogs};

// Commands whose keys are bound on purpose to nothing: no handler exists
// anywhere in the program, so they stay disabled. Save is not among them: the
// log is never written, so its key is left unbound altogether.
constexpr std::array kInertCommands = {kFileNew, kEditCut, kEditPaste, kEditUndo};

} // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), messageBoxes_(this), messages_(&messageBoxes_) {
    setWindowTitle(QLatin1String(kApplicationTitle));
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &CMainFrame::RefreshFrameState);

    recentFiles_.Load();
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    UpdateRecentFileActions();
    RefreshFrameState();
    RestoreWindowPlacement();
}

CMainFrame::~CMainFrame() {
    // The document windows die with the base class, after this object's own
    // parts: nothing they or the MDI area signal on the way may reach us.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

void CMainFrame::setMessageSink(MessageSink* sink) {
    messages_ = sink != nullptr ? sink : &messageBoxes_;
}

QAction* CMainFrame::commandAction(int id) const {
    const auto found = actions_.find(id);
    return found != actions_.end() ? found->second : nullptr;
}

QAction* CMainFrame::recentFileAction(int index) const {
    return index >= 0 && index < RecentFileList::kSize ? recentActions_[index] : nullptr;
}

QList<CChildFrame*> CMainFrame::childFrames() const {
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        auto* frame = qobject_cast<CChildFrame*>(window);
        if (frame != nullptr && frame->document() != nullptr) {
            frames.append(frame);
        }
    }
    return frames;
}

CChildFrame* CMainFrame::activeFrame() const {
    // The current window, not the active one: the latter is null whenever
    // the main window itself is not the active window (a dialog is up).
    auto* frame = qobject_cast<CChildFrame*>(mdiArea_->currentSubWindow());
    return frame != nullptr && frame->document() != nullptr ? frame : nullptr;
}

CQuarvelView* CMainFrame::activeView() const {
    CChildFrame* frame = activeFrame();
    return frame != nullptr ? frame->view() : nullptr;
}

void CMainFrame::CreateActions() {
    for (const CommandEntry& entry : FrameCommandTable()) {
        auto* action = new QAction(QString::fromUtf8(entry.text), this);
        action->setData(entry.id);
        action->setStatusTip(QString::fromUtf8(entry.prompt));
        if (*entry.toolTip != '\0') {
            action->setToolTip(QString::fromUtf8(entry.toolTip));
        }
        action->setShortcuts(QList<QKeySequence>(entry.keys.begin(), entry.keys.end()));
        // Keys work whichever menus are shown, so they belong to the window.
        addAction(action);
        actions_[entry.id] = action;
    }

    const QStyle* look = style();
    actions_[kFileOpen]->setIcon(QIcon::fromTheme(QStringLiteral("document-open"),
                                                  look->standardIcon(QStyle::SP_DialogOpenButton)));
    actions_[kEditCopy]->setIcon(CopyIcon());
    actions_[kAppAbout]->setIcon(QIcon::fromTheme(
        QStringLiteral("help-about"), look->standardIcon(QStyle::SP_TitleBarContextHelpButton)));
    actions_[kFollowEnd]->setIcon(
        QIcon::fromTheme(QStringLiteral("go-bottom"), look->standardIcon(QStyle::SP_ArrowDown)));
    for (const int id : kCheckableViewCommands) {
        actions_[id]->setCheckable(true);
    }

    connect(actions_[kFileOpen], &QAction::triggered, this, &CMainFrame::OnFileOpen);
    connect(actions_[kFileClose], &QAction::triggered, this, &CMainFrame::OnFileClose);
    connect(actions_[kFilePrint], &QAction::triggered, this, &CMainFrame::OnFilePrint);
    connect(actions_[kFilePrintPreview], &QAction::triggered, this,
            &CMainFrame::OnFilePrintPreview);
    connect(actions_[kAppExit], &QAction::triggered, this, &QWidget::close);
    connect(actions_[kAppAbout], &QAction::triggered, this, &CMainFrame::OnAppAbout);
    connect(actions_[kFindPlayer], &QAction::triggered, this, &CMainFrame::OnFindPlayer);
    connect(actions_[kFindInAllLogs], &QAction::triggered, this, &CMainFrame::OnFindInAllLogs);
    connect(actions_[kServersDialog], &QAction::triggered, this, &CMainFrame::OnServersDialog);
    connect(actions_[kBansWindow], &QAction::triggered, this, &CMainFrame::OnBansWindow);
    connect(actions_[kRconConsole], &QAction::triggered, this, [this] { OnRconConsole(); });
    connect(actions_[kExecuteRconFile], &QAction::triggered, this, &CMainFrame::OnExecuteRconFile);
    connect(actions_[kWindowNew], &QAction::triggered, this, &CMainFrame::OnWindowNew);
    connect(actions_[kWindowCascade], &QAction::triggered, this, &CMainFrame::OnWindowCascade);
    connect(actions_[kWindowTile], &QAction::triggered, mdiArea_, &QMdiArea::tileSubWindows);
    connect(actions_[kWindowArrange], &QAction::triggered, this, &CMainFrame::OnWindowArrange);
    for (const int id : kViewCommands) {
        connect(actions_[id], &QAction::triggered, this, [this, id] { OnViewCommand(id); });
    }
    for (const int id : kInertCommands) {
        actions_[id]->setEnabled(false);
    }
    // The filtered pane: shown or hidden, and F6 and Shift+F6 between it
    // and the log view (with two panes, next and previous are the other).
    actions_[kFilteredView]->setCheckable(true);
    connect(actions_[kFilteredView], &QAction::triggered, this, [this](bool shown) {
        if (CChildFrame* active = activeFrame()) {
            active->ShowFilteredPane(shown);
        }
        UpdateCommandStates();
    });
    for (const int id : {kNextPane, kPrevPane}) {
        connect(actions_[id], &QAction::triggered, this, [this] {
            if (CChildFrame* active = activeFrame()) {
                active->FocusOtherPane();
            }
        });
    }

    // The recent-file entry of the menus: "Recent File", greyed, while the list
    // is empty; the listed files in its place otherwise.
    actions_[kFileMruFirst]->setEnabled(false);
    for (int i = 0; i < RecentFileList::kSize; ++i) {
        auto* action = new QAction(this);
        action->setData(kFileMruFirst + i);
        action->setStatusTip(actions_[kFileMruFirst]->statusTip());
        connect(action, &QAction::triggered, this, [this, i] { OnOpenRecentFile(i); });
        recentActions_[i] = action;
    }

    for (const int id : {kViewToolbar, kViewStatusBar}) {
        actions_[id]->setCheckable(true);
        actions_[id]->setChecked(true);
    }
    connect(actions_[kViewToolbar], &QAction::triggered, this,
            [this](bool shown) { toolBar_->setVisible(shown); });
    connect(actions_[kViewStatusBar], &QAction::triggered, this,
            [this](bool shown) { statusBar()->setVisible(shown); });
    actions_[kViewServers]->setCheckable(true);
    connect(actions_[kViewServers], &QAction::triggered, this, &CMainFrame::OnViewServers);
}

QMenu* CMainFrame::CreateMenu(const MenuLayout& layout) {
    auto* menu = new QMenu(QString::fromUtf8(layout.title), this);
    for (const int entry : layout.entries) {
        if (entry == 0) {
            menu->addSeparator();
        } else if (entry == kFileMruFirst) {
            menu->addAction(actions_[kFileMruFirst]);
            for (QAction* recent : recentActions_) {
                menu->addAction(recent);
            }
        } else {
            menu->addAction(actions_[entry]);
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    return menu;
}

void CMainFrame::CreateMenus() {
    for (const MenuLayout& layout : PlainMenuLayout()) {
        plainMenus_.append(CreateMenu(layout));
    }
    for (const MenuLayout& layout : DocumentMenuLayout()) {
        documentMenus_.append(CreateMenu(layout));
        if (QLatin1String(layout.title) == QLatin1String("&Window")) {
            windowMenu_ = documentMenus_.last();
        }
    }
}

void CMainFrame::ShowMenuSet(bool documentMenus) {
    const int wanted = documentMenus ? 1 : 0;
    if (menuSetShown_ == wanted) {
        return;
    }
    menuSetShown_ = wanted;
    // The menus belong to the frame, so clearing the bar only takes them off.
    menuBar()->clear();
    for (QMenu* menu : documentMenus ? documentMenus_ : plainMenus_) {
        menuBar()->addMenu(menu);
    }
}

void CMainFrame::CreateToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(16, 16));
    for (const int id : ToolbarLayout()) {
        if (id == 0) {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(actions_[id]);
        }
    }
    connect(toolBar_, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommandStates);
}

void CMainFrame::CreateStatusBar() {
    messagePane_ = new QLabel(QStringLiteral("Ready"), statusBar());
    messagePane_->setObjectName(QLatin1String(kMessagePaneName));
    statusBar()->addWidget(messagePane_, 1);
    // The active log's state: what happened to its file lately, and how many
    // lines it has (they grow while it is followed).
    fileStatusPane_ = new QLabel(statusBar());
    fileStatusPane_->setObjectName(QStringLiteral("fileStatusPane"));
    statusBar()->addPermanentWidget(fileStatusPane_);
    caretPane_ = new QLabel(statusBar());
    caretPane_->setObjectName(QStringLiteral("caretPane"));
    caretPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(caretPane_);
    lineCountPane_ = new QLabel(statusBar());
    lineCountPane_->setObjectName(QStringLiteral("lineCountPane"));
    lineCountPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(lineCountPane_);
    lockKeys_ = new LockKeyIndicators(*statusBar(), PlatformLockKeyReader());
}

void CMainFrame::UpdateCommandStates() {
    CChildFrame* frame = activeFrame();
    CQuarvelView* view = activeView();
    for (const int id : kViewCommands) {
        const LogLinesView* target = frame != nullptr ? frame->CommandTarget(id) : nullptr;
        actions_[id]->setEnabled(target != nullptr && target->IsCommandEnabled(id));
    }
    for (const int id : kCheckableViewCommands) {
        const LogLinesView* target = frame != nullptr ? frame->CommandTarget(id) : nullptr;
        actions_[id]->setChecked(target != nullptr && target->IsCommandChecked(id));
    }
    for (const int id : {kFilePrint, kFilePrintPreview}) {
        actions_[id]->setEnabled(view != nullptr && view->IsCommandEnabled(kFilePrint));
    }
    for (const int id : kWindowCommands) {
        actions_[id]->setEnabled(view != nullptr);
    }
    actions_[kFindPlayer]->setEnabled(!theAppConfig.databasePath.empty());
    actions_[kBansWindow]->setEnabled(!theAppConfig.databasePath.empty());
    actions_[kFilteredView]->setEnabled(frame != nullptr);
    actions_[kFilteredView]->setChecked(frame != nullptr && frame->filteredPaneShown());
    for (const int id : {kNextPane, kPrevPane}) {
        actions_[id]->setEnabled(frame != nullptr && frame->filteredPaneShown());
    }
    for (const int id : {kRconConsole, kExecuteRconFile}) {
        actions_[id]->setEnabled(!theAppConfig.servers.empty());
    }
    actions_[kViewToolbar]->setChecked(!toolBar_->isHidden());
    actions_[kViewStatusBar]->setChecked(!statusBar()->isHidden());
    actions_[kViewServers]->setChecked(serversDock_ != nullptr && !serversDock_->isHidden());
}

void CMainFrame::RefreshFrameState() {
    ShowMenuSet(!childFrames().isEmpty());
    UpdateFrameTitles();
    UpdateCommandStates();
    UpdateLogPanes();
}

void CMainFrame::UpdateCaretPane() {
    const CChildFrame* frame = activeFrame();
    const LogLinesView* pane = frame != nullptr ? frame->focusedPane() : nullptr;
    if (pane == nullptr || pane->lineCount() == 0) {
        caretPane_->hide();
        return;
    }
    // The line as the log numbers it, from 1; the column from 1.
    const int line = std::clamp(pane->caretLine(), 0, std::max(pane->lines().lineCount() - 1, 0));
    caretPane_->setText(QStringLiteral("Ln %1, Col %2")
                            .arg(QLocale().toString(pane->lines().LogLineIndex(line) + 1))
                            .arg(pane->caretColumn() + 1));
    caretPane_->show();
}

void CMainFrame::ShowContextMenu(const QPoint& globalPosition, const std::vector<int>& commands) {
    UpdateCommandStates();
    QMenu menu(this);
    for (const int id : commands) {
        if (id == 0) {
            menu.addSeparator();
        } else if (QAction* action = commandAction(id)) {
            menu.addAction(action);
        }
    }
    menu.exec(globalPosition);
}

void CMainFrame::UpdateLogPanes() {
    UpdateCaretPane();
    const CQuarvelView* view = activeView();
    if (view == nullptr) {
        lineCountPane_->hide();
        fileStatusPane_->clear();
        return;
    }
    const int lines = view->lineCount();
    lineCountPane_->setText(lines == 1 ? QStringLiteral("1 line")
                                       : QLocale().toString(lines) + QStringLiteral(" lines"));
    lineCountPane_->show();
    fileStatusPane_->setText(view->document().fileStatus());
}

void CMainFrame::UpdateFrameTitles() {
    // A log shown in one window is titled by its name; in several, each
    // window adds its number: "sample.log:1", "sample.log:2".
    const QList<CChildFrame*> frames = childFrames();
    std::map<const CQuarvelDoc*, int> windowsOf;
    for (CChildFrame* frame : frames) {
        ++windowsOf[frame->document()];
    }
    std::map<const CQuarvelDoc*, int> numberOf;
    for (CChildFrame* frame : frames) {
        const CQuarvelDoc* document = frame->document();
        const int number = ++numberOf[document];
        frame->setWindowTitle(
            windowsOf[document] == 1
                ? document->displayName()
                : QStringLiteral("%1:%2").arg(document->displayName()).arg(number));
    }

    QString title = QLatin1String(kApplicationTitle);
    if (CChildFrame* active = activeFrame()) {
        title += active->isMaximized()
                     ? QStringLiteral(" - [%1]").arg(active->windowTitle())
                     : QStringLiteral(" - %1").arg(active->document()->displayName());
    }
    setWindowTitle(title);
    UpdateWindowList();
}

void CMainFrame::UpdateRecentFileActions() {
    const QStringList& paths = recentFiles_.paths();
    actions_[kFileMruFirst]->setVisible(paths.isEmpty());
    for (int i = 0; i < RecentFileList::kSize; ++i) {
        QAction* action = recentActions_[i];
        if (i < paths.size()) {
            action->setText(RecentFileList::MenuText(i, paths[i]));
            // The menu shows the name; the prompt tells two logs of one name
            // apart.
            action->setStatusTip(QDir::toNativeSeparators(paths[i]));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

bool CMainFrame::event(QEvent* event) {
    // The message pane shows the prompt of the command under the mouse, and
    // "Ready" when there is none.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        messagePane_->setText(tip.isEmpty() ? QStringLiteral("Ready") : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    mdiArea_->closeAllSubWindows();
    if (!childFrames().isEmpty()) {
        event->ignore();
        return;
    }
    SaveWindowPlacement();
    QMainWindow::closeEvent(event);
}
