#pragma once

#include <QPointer>
#include <QWidget>

class QProgressBar;
class QPushButton;

// The progress of a log loading in slices, in the place of the message pane
// of the main window a view belongs to (MessagePaneCover.h): a bar and a
// "Cancel" button. Without a message pane (a view on its own) there is
// none. The status bar owns it; Drop takes it away.
class LoadingProgress : public QWidget {
    Q_OBJECT

public:
    // Made by ShowFor.
    LoadingProgress();

    static QPointer<LoadingProgress> ShowFor(const QWidget& view);
    static void Drop(QPointer<LoadingProgress>& progress);

    // 0 to 1000.
    void SetPermille(int permille);
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void cancelled();

private:
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
