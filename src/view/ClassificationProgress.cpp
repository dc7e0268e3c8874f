#include "ClassificationProgress.h"

#include "LogModel.h"
#include "MessagePaneCover.h"

#include <QProgressBar>

ClassificationProgress::ClassificationProgress(const QWidget& view) {
    bar_ = std::make_unique<QProgressBar>();
    bar_->setObjectName(QStringLiteral("classificationProgress"));
    bar_->setTextVisible(false);
    if (!CoverMessagePane(view, *bar_)) {
        bar_.reset();
    }
}

ClassificationProgress::~ClassificationProgress() {
    if (bar_ != nullptr) {
        UncoverMessagePane(*bar_);
    }
}

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
