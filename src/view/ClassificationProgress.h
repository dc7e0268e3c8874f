#pragma once

#include <memory>

class LogModel;
class QProgressBar;
class QWidget;

// Classifies every line of a log in the steps of the model's walk, showing
// how far it has got in a smooth progress bar in the place of the message
// pane of the main window that `view` belongs to (MessagePaneCover.h). The walk does not let the
// event loop run, so the bar is repainted by hand after every step. The bar goes with this object,
// which lets the caller ask for its own repaint first. Without a message pane (a view on its own)
// the walk runs unseen.
class ClassificationProgress {
public:
    explicit ClassificationProgress(const QWidget& view);
    ~ClassificationProgress();
    ClassificationProgress(const ClassificationProgress&) = delete;
    ClassificationProgress& operator=(const ClassificationProgress&) = delete;

    void Run(LogModel& model);

private:
    std::unique_ptr<QProgressBar> bar_;
};
