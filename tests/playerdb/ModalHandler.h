#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

// Hands the next modal window that shows to a handler (which reads it and
// ends it), from a zero timer of the loop the modal window runs. A modal
// window the handler leaves open is rejected, so a test never hangs.
class ModalHandler {
public:
    explicit ModalHandler(std::function<void(QWidget*)> handler) : handler_(std::move(handler)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(0);
    }

    int seen = 0;

private:
    void Look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        ++seen;
        handler_(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal);
            dialog != nullptr && dialog->isVisible()) {
            dialog->reject();
        }
    }

    std::function<void(QWidget*)> handler_;
    QTimer timer_;
};
