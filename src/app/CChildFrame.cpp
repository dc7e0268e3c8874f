#include "CChildFrame.h"

#include "CQuarvelDoc.h"
#include "CQuarvelView.h"

#include <QCloseEvent>
#include <QDir>
#include <QHelpEvent>
#include <QToolTip>

CChildFrame::CChildFrame(std::shared_ptr<CQuarvelDoc> document, const AppConfig& config,
                         QWidget* parent)
    : QMdiSubWindow(parent), document_(std::move(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new CQuarvelView(*document_, config, this);
    setWidget(view_);
    setWindowTitle(document_->displayName());
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
    // The view refers to the document, so it must go first; as a child widget
    // it would otherwise outlive the document until the base destructor runs.
    if (view_ != nullptr) {
        const std::unique_ptr<CQuarvelView> view(view_.data());
        setWidget(nullptr); // hands the view back without deleting it
    }
    document_.reset();
}
