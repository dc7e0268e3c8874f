#include "LogModel.h"

#include <algorithm>

namespace {
// The default walk takes about a thousand lines a step, and at least a
// hundred steps so a small log still moves a progress bar smoothly.
constexpr int kLinesPerDefaultStep = 1000;
constexpr int kFewestDefaultSteps = 100;
} // namespace

int LogModel::BeginWalk(int steps, WalkMode mode) {
    // A classification walk covers what is not classified yet; a harvest
    // walk the whole log.
    const int first = mode == WalkMode::Harvest ? 0 : classifiedCount();
    const int lines = lineCount() - first;
    // Zero steps would divide by zero below; it gets the default like a
    // negative count.
    if (steps < 1) {
        steps = std::max(lines / kLinesPerDefaultStep, kFewestDefaultSteps);
    }
    linesPerStep_ = (lines - 1) / steps + 1;
    nextLine_ = first;
    walkEnd_ = lineCount();
    stepsDone_ = 0;
    if (mode == WalkMode::Harvest) {
        harvestMode_ = true;
        try {
            harvester_.Begin();
        } catch (...) {
            harvestMode_ = false;
            harvester_.End();
            throw;
        }
    }
    return steps;
}

int LogModel::WalkStep() {
    // A log loaded again meanwhile has no more lines than it holds now.
    walkEnd_ = std::min(walkEnd_, lineCount());
    if (nextLine_ >= walkEnd_) {
        return -1;
    }
    const int end =
        static_cast<int>(std::min<std::int64_t>(walkEnd_, std::int64_t{nextLine_} + linesPerStep_));
    if (harvestMode_) {
        harvester_.HarvestLines(store_, nextLine_, end);
        nextLine_ = end;
    } else {
        ClassifyUpTo(end);
        nextLine_ = end;
    }
    return ++stepsDone_;
}

void LogModel::EndWalk() {
    if (harvestMode_) {
        // Cleared first: a failing close still ends harvest mode.
        harvestMode_ = false;
        harvester_.End();
    }
}

void LogModel::WalkAll(WalkMode mode) {
    BeginWalk(-1, mode);
    try {
        while (WalkStep() >= 0) {
        }
    } catch (...) {
        EndWalk();
        throw;
    }
    EndWalk();
}
