#include "LoadingProgress.h"

#include "MessagePaneCover.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

QPointer<LoadingProgress> LoadingProgress::ShowFor(const QWidget& view) {
    auto progress = std::make_unique<LoadingProgress>();
    if (!CoverMessagePane(view, *progress)) {
        return nullptr;
    }
    return progress.release(); // the status bar's now
}

void LoadingProgress::Drop(QPointer<LoadingProgress>& progress) {
    if (progress != nullptr) {
        UncoverMessagePane(*progress);
        progress->hide();
        progress->deleteLater();
        progress = nullptr;
    }
}

LoadingProgress::LoadingProgress() {
    setObjectName(QStringLiteral("loadingProgress"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    bar_->setRange(0, 1000);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("loadingCancel"));
    layout->addWidget(bar_, 1);
    layout->addWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, &LoadingProgress::cancelled);
}

void LoadingProgress::SetPermille(int permille) {
    bar_->setValue(permille);
}
