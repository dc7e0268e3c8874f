#include "LoopStallWatch.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

using namespace std::chrono_literals;

LoopStallWatch::LoopStallWatch() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1ms);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

LoopStallWatch::~LoopStallWatch() {
    Stop();
}

void LoopStallWatch::Start() {
    Stop();
    // Opened on the thread watched: the link names that thread for good.
    schedstat_ = ::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
    splitsWaits_ = schedstat_ >= 0;
    stalls_.clear();
    longest_ = {};
    longestOwn_ = {};
    longestWork_ = {};
    lastTimes_ = ThreadTimes();
    clock_.start();
    last_ = 0;
    timer_.start();
}

void LoopStallWatch::Stop() {
    timer_.stop();
    if (schedstat_ >= 0) {
        ::close(schedstat_);
        schedstat_ = -1;
    }
}

std::pair<qint64, qint64> LoopStallWatch::ThreadTimes() const {
    // The processor time from the thread's clock: schedstat's first field is
    // brought up to date only when the scheduler looks, so it lags a running
    // thread by up to a tick.
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    const qint64 cpu = static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    qint64 waited = 0;
    if (schedstat_ >= 0) {
        char text[96];
        const ssize_t got = ::pread(schedstat_, text, sizeof text - 1, 0);
        if (got > 0) {
            text[got] = '\0';
            char* rest = nullptr;
            std::strtoll(text, &rest, 10);
            waited = std::strtoll(rest, nullptr, 10);
        }
    }
    return {cpu, waited};
}

void LoopStallWatch::Tick() {
    const qint64 now = clock_.nsecsElapsed();
    const auto times = ThreadTimes();
    Stall stall{std::max<qint64>(now - last_ - kPeriodNs, 0), times.first - lastTimes_.first,
                times.second - lastTimes_.second, last_};
    if (stall.ns > longest_.ns) {
        longest_ = stall;
    }
    if (stall.ownNs() > longestOwn_.ownNs()) {
        longestOwn_ = stall;
    }
    if (stall.cpuNs > longestWork_.cpuNs) {
        longestWork_ = stall;
    }
    stalls_.push_back(stall);
    last_ = now;
    lastTimes_ = times;
}

double LoopStallWatch::PercentileMs(double share) const {
    if (stalls_.empty()) {
        return 0;
    }
    std::vector<qint64> sorted;
    sorted.reserve(stalls_.size());
    for (const Stall& stall : stalls_) {
        sorted.push_back(stall.ns);
    }
    std::sort(sorted.begin(), sorted.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1));
    return static_cast<double>(sorted[at]) / 1e6;
}

int LoopStallWatch::Over(std::chrono::milliseconds limit) const {
    return static_cast<int>(std::count_if(stalls_.begin(), stalls_.end(), [&](const Stall& s) {
        return s.ns > std::chrono::nanoseconds(limit).count();
    }));
}

int LoopStallWatch::OwnOver(std::chrono::milliseconds limit) const {
    return static_cast<int>(std::count_if(stalls_.begin(), stalls_.end(), [&](const Stall& s) {
        return s.ownNs() > std::chrono::nanoseconds(limit).count();
    }));
}

void LoopStallWatch::Report(benchmark::State& state) const {
    const auto ms = [](qint64 ns) { return static_cast<double>(ns) / 1e6; };
    state.counters["longest_stall_ms"] = ms(longest_.ns);
    state.counters["longest_stall_at_s"] = ms(longest_.atNs) / 1000;
    state.counters["longest_stall_cpu_ms"] = ms(longest_.cpuNs);
    state.counters["longest_work_ms"] = ms(longestWork_.cpuNs);
    state.counters["longest_work_at_s"] = ms(longestWork_.atNs) / 1000;
    state.counters["p99_stall_ms"] = PercentileMs(0.99);
    state.counters["stalls_over_16ms"] = Over(16ms);
    if (splitsWaits()) {
        state.counters["longest_stall_waited_ms"] = ms(longest_.waitedNs);
        state.counters["longest_own_stall_ms"] = ms(longestOwn_.ownNs());
        state.counters["longest_own_stall_at_s"] = ms(longestOwn_.atNs) / 1000;
        state.counters["longest_own_stall_cpu_ms"] = ms(longestOwn_.cpuNs);
        state.counters["own_stalls_over_16ms"] = OwnOver(16ms);
    }
    state.counters["ticks"] = static_cast<double>(stalls_.size());
}
