#pragma once

#include "MessageRecorder.h"

#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <ostream>
#include <vector>

// The application object and the isolation of the user's settings come from
// ShellTestMain.cpp.
inline void ClearUserSettings() {
    QSettings settings(QStringLiteral("Jor"), QStringLiteral("Quarvel"));
    settings.clear();
    settings.sync();
}

// Runs the deletions that closed windows have asked for.
inline void ProcessDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Deals with the modal windows that appear while it lives: each one is
// recorded and handed to `handler`, which must close it (by default it is
// rejected). It looks on every pass of the event loop, nested ones included,
// so a test never waits on a dialog.
class ModalWatcher {
public:
    using Handler = std::function<void(QWidget*)>;

    explicit ModalWatcher(Handler handler = {}) : handler_(std::move(handler)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(0);
    }

    // The class names of the modal windows seen, in order.
    std::vector<QString> seenClasses;
    std::vector<QString> seenTitles;

private:
    void Look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        seenClasses.push_back(QString::fromLatin1(modal->metaObject()->className()));
        seenTitles.push_back(modal->windowTitle());
        if (handler_) {
            handler_(modal);
        }
        if (modal->isVisible()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        }
    }

    Handler handler_;
    QTimer timer_;
};
