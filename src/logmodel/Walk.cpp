#include "LogModel.h"

#include <algorithm>

namespace {
// The default walk takes about a thousand lines a step, and at least a
// hundred steps so a small log still moves a progress bar smoothly.
constexpr int kLinesPerDefaultStep = 1000;
constexpr int kFewestDefaultSteps = 100;
} // namespace

int LogModel::BeginWalk(int steps, int mode) {
    // Zero steps would divide by zero below; it gets the default like a
    // negative count.
    if (steps < 1) {
        steps = std::max(lineCount_ / kLinesPerDefaultStep, kFewestDefaultSteps);
    }
    linesPerStep_ = (lineCount_ - 1) / steps + 1;
    nextLine_ = 0;
    stepsDone_ = 0;
    if (mode == kHarvest) {
        harvestMode_ = true;
        BeginHarvest();
    }
    return steps;
}

int LogModel::WalkStep() {
    if (nextLine_ >= lineCount_) {
        return -1;
    }
    const int end = static_cast<int>(
        std::min<std::int64_t>(lineCount_, std::int64_t{nextLine_} + linesPerStep_));
    if (harvestMode_) {
        // One transaction a step: a database that syncs every statement to
        // disk would take minutes over a large log. A failure leaves the
        // step open, and EndWalk commits what went before it.
        playerDatabase_->BeginStep();
    }
    for (int i = nextLine_; i < end; ++i) {
        nextLine_ = i + 1;
        if (harvestMode_) {
            HarvestLine(i);
        } else {
            ClassifyLine(i);
        }
    }
    if (harvestMode_) {
        playerDatabase_->CommitStep();
    }
    return ++stepsDone_;
}

void LogModel::EndWalk() {
    if (harvestMode_) {
        // Cleared first: a failing close still ends harvest mode.
        harvestMode_ = false;
        EndHarvest();
    }
}
