#include "LoadingProgress.h"

#include "MessagePane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

QPointer<LoadingProgress> LoadingProgress::ShowFor(const QWidget& view) {
    QLabel* pane = FindMessagePane(view);
    if (pane == nullptr || pane->parentWidget() == nullptr) {
        return nullptr;
    }
    QPointer<LoadingProgress> progress = new LoadingProgress(pane->parentWidget());
    progress->setGeometry(pane->geometry());
    progress->raise();
    progress->show();
    return progress;
}

void LoadingProgress::Drop(QPointer<LoadingProgress>& progress) {
    if (progress != nullptr) {
        progress->hide();
        progress->deleteLater();
        progress = nullptr;
    }
}

LoadingProgress::LoadingProgress(QWidget* statusBar) : QWidget(statusBar) {
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
