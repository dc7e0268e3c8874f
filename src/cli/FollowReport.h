#pragma once

#include "Harvester.h"

#include <QTimer>
#include <chrono>
#include <optional>
#include <string>

class CQuarvelDoc;

// What `follow --harvest` tells on the error output, which a service's
// journal keeps: a counter line when the harvest has caught up after the
// start, then at most once every `every` (when something changed), and one
// on every change of state (the database lost and back, the log truncated or
// replaced, a rotated log let go), with a line saying what changed; the
// database's upgrade notes as they come. With `every` zero, a counter line
// follows every batch.
class FollowReport {
public:
    FollowReport(CQuarvelDoc& document, std::chrono::seconds every,
                 std::chrono::seconds rotateGrace);
    FollowReport(const FollowReport&) = delete;
    FollowReport& operator=(const FollowReport&) = delete;

    // At the end: the counters, when they changed since the last line.
    void Final();

private:
    void Say(const std::string& text);
    void PrintCounters();
    void BatchStored();

    CQuarvelDoc& document_;
    std::chrono::seconds every_;
    QTimer timer_;
    std::optional<HarvestCounters> printed_; // as the last counter line said
    bool caughtUp_ = false;
};
