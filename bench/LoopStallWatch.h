#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

// How long the event loop of the thread it lives on stands still: a 1 ms
// timer whose every gap between two ticks, less the period, is a stall.
//
// On a shared machine a thread also stands still while it waits for a core
// that other processes hold, which says nothing of the program. Where the
// kernel tells it (/proc/thread-self/schedstat), each stall is therefore
// split into the thread's own part (working, or blocked in a call of its own
// such as a disk write) and the time it was ready to run but waited for a
// core. The own part still holds the time a virtual machine's processor was
// not running, which its kernel cannot see (a timer that wakes the thread
// late); the processor time the thread spent within one gap, the longest
// piece of work the loop did without returning to its events, is the figure
// other processes change least.
class LoopStallWatch {
public:
    static constexpr qint64 kPeriodNs = 1'000'000;

    LoopStallWatch();
    ~LoopStallWatch();
    LoopStallWatch(const LoopStallWatch&) = delete;
    LoopStallWatch& operator=(const LoopStallWatch&) = delete;

    void Start();
    void Stop();

    // One stall: how long, how much of it the thread worked, how long it
    // waited for a core, and when it began (from the start).
    struct Stall {
        qint64 ns = 0;
        qint64 cpuNs = 0;
        qint64 waitedNs = 0;
        qint64 atNs = 0;
        qint64 ownNs() const { return ns > waitedNs ? ns - waitedNs : 0; }
    };
    const Stall& longest() const { return longest_; }
    const Stall& longestOwn() const { return longestOwn_; }
    // The gap in which the thread worked longest.
    const Stall& longestWork() const { return longestWork_; }
    // The stall `share` of the ticks stay under, in milliseconds.
    double PercentileMs(double share) const;
    int Over(std::chrono::milliseconds limit) const;
    int OwnOver(std::chrono::milliseconds limit) const;
    bool splitsWaits() const { return splitsWaits_; }

    // The figures as counters of a benchmark.
    void Report(benchmark::State& state) const;

private:
    void Tick();
    // The thread's processor time and its time waiting for a core (from the
    // kernel's schedstat; none where that cannot be read), in nanoseconds.
    std::pair<qint64, qint64> ThreadTimes() const;

    QTimer timer_;
    QElapsedTimer clock_;
    int schedstat_ = -1;
    bool splitsWaits_ = false;
    qint64 last_ = 0;
    std::pair<qint64, qint64> lastTimes_;
    std::vector<Stall> stalls_;
    Stall longest_;
    Stall longestOwn_;
    Stall longestWork_;
};
