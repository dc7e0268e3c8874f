#include "CChildFrame.h"

#include "CQuarvelDoc.h"
#include "CQuarvelView.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(std::shared_ptr<CQuarvelDoc> document, QWidget* parent)
    : QMdiSubWindow(parent), document_(std::move(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new CQuarvelView(*document_, this);
    setWidget(view_);
    setWindowTitle(document_->displayName());
}

CChildFrame::~CChildFrame() {
    ReleaseView();
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
