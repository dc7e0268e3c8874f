#pragma once

#include "ReplyWaiter.h"

#include <QObject>
#include <QTimerEvent>

// A waiting window that is no window: for quarvelctl and for tests, which
// wait for replies without a dialog to own the timer.
class ReplyWaiterObject : public QObject, public ReplyWaiter {
public:
    ReplyWaiterObject() : ReplyWaiter(static_cast<QObject&>(*this)) {}

protected:
    void timerEvent(QTimerEvent* event) override {
        OnTimer(event->timerId());
        QObject::timerEvent(event);
    }
};
