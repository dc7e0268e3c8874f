#include "CChildFrame.h"

#include "CQuarvelDoc.h"
#include "CQuarvelView.h"

#include <QCloseEvent>
#include <QDir>
#include <QHelpEvent>
#include <QSplitter>
#include <QToolTip>

CChildFrame::CChildFrame(std::shared_ptr<CQuarvelDoc> document, const AppConfig& config,
                         QWidget* parent)
    : QMdiSubWindow(parent), document_(std::move(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    view_ = new CQuarvelView(*document_, config, splitter_);
    splitter_->addWidget(view_);
    AddPane(view_);
    setWidget(splitter_);
    setWindowTitle(document_->displayName());
}

void CChildFrame::AddPane(LogLinesView* pane) {
    connect(pane, &LogLinesView::focused, this, [this, pane] {
        if (focusedPane_ != pane) {
            focusedPane_ = pane;
            emit focusedPaneChanged();
        }
    });
    connect(pane, &LogLinesView::caretMoved, this, &CChildFrame::caretMoved);
    connect(pane, &LogLinesView::contextMenuRequested, this, &CChildFrame::contextMenuRequested);
}

LogLinesView* CChildFrame::focusedPane() const {
    if (focusedPane_ != nullptr && focusedPane_->isVisibleTo(splitter_)) {
        return focusedPane_;
    }
    return view_;
}

LogLinesView* CChildFrame::CommandTarget(int id) const {
    LogLinesView* pane = focusedPane();
    if (pane != nullptr && pane->ServesCommand(id)) {
        return pane;
    }
    return view_;
}

CChildFrame::~CChildFrame() {
    ReleaseView();
}

QString CChildFrame::titleToolTip() const {
    return document_ != nullptr ? QDir::toNativeSeparators(document_->path()) : QString();
}

bool CChildFrame::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Over the title bar the tooltip names the log's full path; over the
        // log itself (whose tooltip requests come up to here) none shows, so
        // it never covers the lines being read.
        const auto* help = static_cast<QHelpEvent*>(event);
        const int titleBottom = widget() != nullptr ? widget()->geometry().top() : height();
        if (help->pos().y() < titleBottom && !titleToolTip().isEmpty()) {
            QToolTip::showText(help->globalPos(), titleToolTip(), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QMdiSubWindow::event(event);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted()) {
        return;
    }
    ReleaseView();
    emit frameClosed(this);
}

void CChildFrame::ReleaseView() {
    // The panes refer to the document, so they must go first; as child
    // widgets they would otherwise outlive the document until the base
    // destructor runs.
    if (splitter_ != nullptr) {
        const std::unique_ptr<QSplitter> panes(splitter_.data());
        setWidget(nullptr); // hands the panes back without deleting them
    }
    document_.reset();
}
