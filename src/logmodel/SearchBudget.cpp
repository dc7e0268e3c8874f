#include "SearchBudget.h"

namespace {

// How often a long search looks at the progress: often enough for a Cancel
// button to answer at once, seldom enough to cost nothing.
constexpr auto kAskInterval = std::chrono::milliseconds(50);
constexpr std::int64_t kLinesBetweenClockReads = 1024;

} // namespace

void SearchBudget::Start(SearchProgress* progress) {
    left_ = kBaseTicks;
    untilCheck_ = kCheckEvery;
    linesUntilAsk_ = kLinesBetweenClockReads;
    progress_ = progress;
    // The first look comes at the first check, however soon: what happens
    // then (a box shown at once, say) depends on the work done, not on the
    // clock.
    lastAsked_ = std::chrono::steady_clock::now() - kAskInterval;
}

void SearchBudget::AllowLine(std::size_t bytes) {
    left_ += static_cast<std::int64_t>(bytes + 1) * kTicksPerByte;
    if (--linesUntilAsk_ <= 0) {
        linesUntilAsk_ = kLinesBetweenClockReads;
        AskProgress();
    }
}

void SearchBudget::Check() {
    left_ -= kCheckEvery - untilCheck_;
    if (left_ <= 0) {
        untilCheck_ = kCheckEvery;
        throw SearchInterrupted(SearchStop::TooMuchWork);
    }
    untilCheck_ = kCheckEvery;
    AskProgress();
}

void SearchBudget::AskProgress() {
    if (progress_ == nullptr) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastAsked_ < kAskInterval) {
        return;
    }
    lastAsked_ = now;
    if (!progress_->KeepGoing()) {
        throw SearchInterrupted(SearchStop::Cancelled);
    }
}
