#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Turns SIGINT and SIGTERM into a Qt signal, so that a command running an
// event loop ends it cleanly (output flushed, the database committed)
// instead of dying where it stands. A signal handler may do next to nothing:
// it writes a byte to a socket that the event loop watches.
class StopSignals : public QObject {
    Q_OBJECT

public:
    StopSignals();
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};
