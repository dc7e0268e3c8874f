#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <deque>
#include <functional>
#include <utility>

// Answers the modal windows that open while a test runs, one step of a
// script per window, in order, from a timer of the loop the window runs. A
// step reads its window and ends it; a window a step leaves open, or one that
// shows when the script is used up, is rejected, so a test never hangs.
class ModalScript {
public:
    using Step = std::function<void(QWidget& window)>;

    explicit ModalScript(std::deque<Step> steps = {}) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(0);
    }

    // Modal windows that showed, and those among them no step was left for.
    int shown() const { return shown_; }
    int unexpected() const { return unexpected_; }

private:
    void Look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        ++shown_;
        if (steps_.empty()) {
            ++unexpected_;
        } else {
            const Step step = std::move(steps_.front());
            steps_.pop_front();
            step(*modal);
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal);
            dialog != nullptr && dialog->isVisible()) {
            dialog->reject();
        }
    }

    std::deque<Step> steps_;
    QTimer timer_;
    int shown_ = 0;
    int unexpected_ = 0;
};
