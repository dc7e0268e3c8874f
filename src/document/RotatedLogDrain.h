#pragma once

#include "Messages.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>

class LiveHarvest;
class LogStore;

// A log file renamed away by a rotation while its writer may still hold it
// open: it is read on through its own descriptor, and what it gets is
// harvested by the harvest that was following it, until it has not grown
// for the grace period (and all of it is stored). A database that cannot be
// reached meanwhile is tried again, 1 s after the first failure, then after
// twice as long each time up to 30 s; the file is kept until its lines are
// stored.
class RotatedLogDrain : public QObject {
    Q_OBJECT

public:
    RotatedLogDrain(std::unique_ptr<LogStore> file, std::unique_ptr<LiveHarvest> harvest,
                    std::chrono::milliseconds grace);
    ~RotatedLogDrain() override;
    RotatedLogDrain(const RotatedLogDrain&) = delete;
    RotatedLogDrain& operator=(const RotatedLogDrain&) = delete;

signals:
    // The file is let go, with the lines harvested from it since the
    // rotation.
    void done(int lines);
    // The harvest failed for good; what was stored before stays.
    void failed(const Message& message);

private:
    void Look();

    std::unique_ptr<LogStore> file_;
    std::unique_ptr<LiveHarvest> harvest_; // reads file_: declared after it, gone before it
    std::chrono::milliseconds grace_;
    QTimer everyLook_;
    std::chrono::steady_clock::time_point lastGrowth_;
    std::chrono::steady_clock::time_point nextTry_;
    std::chrono::milliseconds retryWait_;
    int harvestedAtRotation_ = 0;
    bool over_ = false;
};
