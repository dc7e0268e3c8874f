#pragma once

#include "LockKeys.h"

#include <QObject>
#include <array>

class QLabel;
class QStatusBar;

// The status bar's "CAP", "NUM" and "SCRL" panes, after the message pane.
// Each shows its text while its key is locked and stays blank while it is
// not; a key whose state the platform does not tell has no pane at all. The
// state is read again whenever a lock key is pressed or released in the
// program and whenever the program becomes active, since the keys may have
// been pressed in another program meanwhile.
class LockKeyIndicators : public QObject {
    Q_OBJECT

public:
    LockKeyIndicators(QStatusBar& bar, LockKeyReader reader);
    ~LockKeyIndicators() override;

    // Reads the keys and shows what was read.
    void Refresh();

    // The panes in order: CAP, NUM, SCRL.
    const std::array<QLabel*, 3>& panes() const { return panes_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LockKeyReader reader_;
    std::array<QLabel*, 3> panes_{};
};
