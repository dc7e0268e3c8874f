#include "DatabaseUpdateRun.h"

#include "AliasesLookup.h"
#include "PlayerDatabase.h"

#include <new>

namespace {

Message RunFailure(std::string text) {
    return Message{std::move(text), kApplicationTitle, MessageIcon::None};
}

// Runs `work`, turning what the database work may throw into the message
// that reports it.
template <typename Work> std::optional<Message> Catching(Work&& work) {
    try {
        work();
    } catch (const DatabaseError& error) {
        return RunFailure(error.what());
    } catch (const std::bad_alloc&) {
        return RunFailure(kOtherErrorText);
    }
    return std::nullopt;
}

} // namespace

HarvestCounters CountersOf(const LogModel& model) {
    return {model.guidsNew(), model.guidsTotal(), model.playersNew(), model.playersTotal()};
}

DatabaseUpdateOutcome RunHarvestWalk(LogModel& model, DatabaseUpdateProgress& progress) {
    DatabaseUpdateOutcome outcome;
    outcome.failure = Catching([&] {
        progress.Begin(model.BeginWalk(-1, WalkMode::Harvest));
        for (;;) {
            const int step = model.WalkStep();
            if (step < 0) {
                outcome.end = DatabaseUpdateOutcome::End::AllLines;
                return;
            }
            if (!progress.StepDone(step, CountersOf(model))) {
                outcome.end = DatabaseUpdateOutcome::End::Stopped;
                return;
            }
        }
    });
    // Closing commits the step a failure left open, so the rows stored
    // before the failure are kept before the failure is reported.
    std::optional<Message> closing = Catching([&] { model.EndWalk(); });
    if (!outcome.failure && closing) {
        outcome.failure = std::move(closing);
    }
    if (outcome.failure) {
        outcome.end = DatabaseUpdateOutcome::End::Failed;
    }
    outcome.counters = CountersOf(model);
    return outcome;
}
