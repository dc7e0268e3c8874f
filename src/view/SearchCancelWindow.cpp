#include "SearchCancelWindow.h"

#include "Messages.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QWidget>

SearchCancelWindow::SearchCancelWindow(QWidget& owner, int showAfterMs)
    : owner_(&owner), showAfterMs_(showAfterMs) {
    running_.start();
}

SearchCancelWindow::~SearchCancelWindow() = default;

bool SearchCancelWindow::KeepGoing() {
    if (!dialog_) {
        if (running_.elapsed() < showAfterMs_ || owner_.isNull()) {
            return true;
        }
        // Application-modal: while the search runs inside the command,
        // nothing but this box takes input, so no other command can start.
        dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("Searching..."),
                                                    QStringLiteral("Cancel"), 0, 0, owner_.data());
        dialog_->setWindowTitle(QString::fromLatin1(kApplicationTitle));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
    }
    QCoreApplication::processEvents();
    // Esc closes the box as a dialog does, without its cancel signal; a box
    // closed in any way is a cancel.
    return !dialog_->wasCanceled() && dialog_->isVisible();
}
