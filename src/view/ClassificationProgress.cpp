#include "ClassificationProgress.h"

#include "LogModel.h"
#include "MessagePane.h"

#include <QProgressBar>

ClassificationProgress::ClassificationProgress(const QWidget& view) {
    QLabel* pane = FindMessagePane(view);
    if (pane == nullptr || pane->parentWidget() == nullptr) {
        return;
    }
    bar_ = std::make_unique<QProgressBar>(pane->parentWidget());
    bar_->setObjectName(QStringLiteral("classificationProgress"));
    bar_->setTextVisible(false);
    bar_->setGeometry(pane->geometry());
    bar_->raise();
    bar_->show();
}

ClassificationProgress::~ClassificationProgress() = default;

void ClassificationProgress::Run(LogModel& model) {
    const int steps = model.BeginWalk(-1, WalkMode::Classify);
    if (bar_ != nullptr) {
        bar_->setRange(0, steps);
        bar_->setValue(0);
    }
    for (int done = model.WalkStep(); done >= 0; done = model.WalkStep()) {
        if (bar_ != nullptr) {
            bar_->setValue(done);
            bar_->repaint();
        }
    }
    model.EndWalk();
}
