// The main frame's command handlers: opening logs, closing them, window
// arrangement, the About box, and passing the view's commands on. Printing
// is in CMainFramePrinting.cpp.
#include "CAboutDlg.h"
#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "FindPlayerCommand.h"
#include "GlobalConfig.h"
#include "Messages.h"
#include "OpenFailure.h"
#include "ServersPanel.h"
#include "WindowPlacement.h"

#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QMdiArea>
#include <QMimeData>
#include <QStyle>
#include <algorithm>

using namespace CommandId;

bool CMainFrame::OpenDocumentFile(const QString& path) {
    const DocumentRegistry::OpenResult opened = documents_.Open(path);
    if (opened.document == nullptr) {
        messages_->Show(
            {CannotOpenMessage(path).toStdString(), kApplicationTitle, MessageIcon::Warning});
        return false;
    }
    if (opened.alreadyOpen) {
        for (CChildFrame* frame : childFrames()) {
            if (frame->document() == opened.document.get()) {
                mdiArea_->setActiveSubWindow(frame);
                RefreshFrameState();
                return true;
            }
        }
    } else {
        recentFiles_.Add(opened.document->path());
        UpdateRecentFileActions();
        CQuarvelDoc* document = opened.document.get();
        connect(document, &CQuarvelDoc::fileStatusChanged, this, &CMainFrame::UpdateLogPanes);
        connect(document, &CQuarvelDoc::liveHarvestFailed, this,
                [this](const Message& message) { messages_->Show(message); });
        // A loading cancelled closes the log: its windows go, and the last
        // one takes the document with it.
        connect(
            document, &CQuarvelDoc::loadCancelled, this,
            [this, document] { CloseFramesOf(document); }, Qt::QueuedConnection);
    }
    CreateFrame(opened.document);
    return true;
}

void CMainFrame::CreateFrame(const std::shared_ptr<CQuarvelDoc>& document) {
    // A new window opens maximized when the window it joins is.
    const CChildFrame* previous = activeFrame();
    const bool maximized = previous != nullptr && previous->isMaximized();
    const int windowsBefore = static_cast<int>(childFrames().size());

    auto* frame = new CChildFrame(document, theAppConfig, mdiArea_);
    mdiArea_->addSubWindow(frame);
    connect(frame, &CChildFrame::frameClosed, this, &CMainFrame::RefreshFrameState);
    connect(frame, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateFrameTitles);
    connect(frame, &CChildFrame::focusedPaneChanged, this, [this] {
        UpdateCommandStates();
        UpdateCaretPane();
    });
    connect(frame, &CChildFrame::caretMoved, this, &CMainFrame::UpdateCaretPane);
    connect(frame, &CChildFrame::contextMenuRequested, this, &CMainFrame::ShowContextMenu);
    connect(frame->view(), &CQuarvelView::commandStateChanged, this,
            &CMainFrame::UpdateCommandStates);
    connect(frame->view(), &CQuarvelView::lineCountChanged, this, &CMainFrame::UpdateLogPanes);

    if (maximized) {
        frame->showMaximized();
    } else {
        // Most of the client area rather than the view's small size hint,
        // cascading from the windows before it and always inside the area.
        const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
        frame->setGeometry(PlaceNewWindow(MdiClientSize(), windowsBefore, std::max(step, 8)));
        frame->show();
    }
    mdiArea_->setActiveSubWindow(frame);
    // The view learns its size before its first update.
    if (QLayout* layout = frame->layout()) {
        layout->activate();
    }
    frame->view()->OnUpdate();
    RefreshFrameState();
}

void CMainFrame::OnFileOpen() {
    QFileDialog dialog(this, QStringLiteral("Open"), lastOpenFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Rotated logs (server.log.1) are logs too. Every file is "*", not
    // "*.*": names without a dot are files too here.
    dialog.setNameFilters(
        {QStringLiteral("SOFII Log Files (*.log *.log.*)"), QStringLiteral("All files (*)")});
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    lastOpenFolder_ = dialog.directory().absolutePath();
    for (const QString& path : dialog.selectedFiles()) {
        OpenDocumentFile(path);
    }
}

void CMainFrame::OnFileClose() {
    // The active window only: a log's other windows stay, and the log with
    // them.
    if (CChildFrame* active = activeFrame()) {
        active->close();
    }
}

void CMainFrame::CloseFramesOf(const CQuarvelDoc* document) {
    for (CChildFrame* frame : childFrames()) {
        if (frame->document() == document) {
            frame->close();
        }
    }
}

void CMainFrame::FinishLoading() {
    for (CChildFrame* frame : childFrames()) {
        frame->document()->FinishLoading();
    }
}

void CMainFrame::OnOpenRecentFile(int index) {
    if (index < 0 || index >= recentFiles_.paths().size()) {
        return;
    }
    const QString path = recentFiles_.paths()[index];
    if (!OpenDocumentFile(path)) {
        // A file that no longer opens leaves the list. Look it up again: the
        // list may have changed while the message was up.
        recentFiles_.Remove(recentFiles_.paths().indexOf(path));
        UpdateRecentFileActions();
    }
}

void CMainFrame::OnWindowNew() {
    if (CChildFrame* active = activeFrame()) {
        CreateFrame(active->sharedDocument());
    }
}

void CMainFrame::OnWindowCascade() {
    // Each window as large as a new one, a title bar's height down and right
    // of the one before, the active window on top. (The MDI area's own
    // cascade makes them as small as their size hints.)
    const QList<CChildFrame*> frames = childFrames();
    CChildFrame* active = activeFrame();
    const QSize area = MdiClientSize();
    int index = 0;
    for (CChildFrame* frame : frames) {
        if (frame->isMinimized()) {
            continue;
        }
        frame->showNormal();
        const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
        frame->setGeometry(PlaceNewWindow(area, index++, std::max(step, 8)));
        frame->raise();
    }
    if (active != nullptr) {
        mdiArea_->setActiveSubWindow(active);
    }
}

void CMainFrame::OnWindowArrange() {
    // Minimized windows in a row along the bottom edge, wrapping upwards.
    const QSize area = mdiArea_->viewport()->size();
    int x = 0;
    int bottom = area.height();
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized()) {
            continue;
        }
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            bottom -= size.height();
        }
        window->move(x, bottom - size.height());
        x += size.width();
    }
}

void CMainFrame::OnAppAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::OnFindPlayer() {
    if (!theAppConfig.databasePath.empty()) {
        // "Show his lines" needs a log window to show them in.
        ShowLinesHandler showLines;
        if (activeFrame() != nullptr) {
            showLines = [this](const QString& guid, const QString& name) {
                if (CChildFrame* active = activeFrame()) {
                    active->ShowLinesOfPlayer(guid, name);
                }
            };
        }
        ShowFindPlayer(this, theAppConfig, {}, showLines);
    }
}

void CMainFrame::OnFindInAllLogs() {
    if (findAllLogs_ == nullptr) {
        findAllLogs_ = new CFindAllLogsDlg([this] { return documents_.Documents(); }, this);
        connect(findAllLogs_, &CFindAllLogsDlg::hitChosen, this, &CMainFrame::ShowHit);
    }
    findAllLogs_->show();
    findAllLogs_->raise();
    findAllLogs_->activateWindow();
    findAllLogs_->textEdit()->setFocus();
}

void CMainFrame::ShowHit(const QString& path, int line) {
    for (CChildFrame* frame : childFrames()) {
        if (frame->document() != nullptr && frame->document()->path() == path) {
            mdiArea_->setActiveSubWindow(frame);
            frame->view()->GoToLine(line);
            frame->view()->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void CMainFrame::OnViewServers(bool shown) {
    if (serversDock_ == nullptr) {
        if (!shown) {
            return;
        }
        serversDock_ = new QDockWidget(QStringLiteral("Servers"), this);
        serversDock_->setObjectName(QStringLiteral("serversDock"));
        serversDock_->setWidget(new ServersPanel(theAppConfig, serversDock_));
        addDockWidget(Qt::RightDockWidgetArea, serversDock_);
        // Closed by its own button: the menu's check mark follows.
        connect(serversDock_, &QDockWidget::visibilityChanged, this,
                &CMainFrame::UpdateCommandStates);
    }
    serversDock_->setVisible(shown);
    UpdateCommandStates();
}

void CMainFrame::OnViewCommand(int id) {
    CChildFrame* frame = activeFrame();
    if (LogLinesView* target = frame != nullptr ? frame->CommandTarget(id) : nullptr;
        target != nullptr && target->IsCommandEnabled(id)) {
        target->OnCommand(id);
    }
    UpdateCommandStates();
}

namespace {

bool HoldsLocalFiles(const QMimeData& data) {
    if (data.hasUrls()) {
        for (const QUrl& url : data.urls()) {
            if (url.isLocalFile()) {
                return true;
            }
        }
    }
    return false;
}

// A dropped log is opened where it is: the drop is a copy, whatever the
// source proposed, so a file manager never takes a move for done and removes
// the file.
void AcceptAsCopy(QDropEvent& event) {
    event.setDropAction(Qt::CopyAction);
    event.accept();
}

} // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (HoldsLocalFiles(*event->mimeData()) && event->possibleActions().testFlag(Qt::CopyAction)) {
        AcceptAsCopy(*event);
    }
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (HoldsLocalFiles(*event->mimeData()) && event->possibleActions().testFlag(Qt::CopyAction)) {
        AcceptAsCopy(*event);
    } else {
        event->ignore();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    if (!event->possibleActions().testFlag(Qt::CopyAction)) {
        event->ignore();
        return;
    }
    const QList<QUrl> urls = event->mimeData()->urls();
    AcceptAsCopy(*event);
    activateWindow();
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            OpenDocumentFile(url.toLocalFile());
        }
    }
}
