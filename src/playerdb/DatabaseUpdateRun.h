#pragma once

#include "LogModel.h"
#include "Messages.h"

#include <cstdint>
#include <optional>
#include <string_view>

// One database update run over a document's log, as both faces make it: the
// walk in harvest mode from the first line, the counters after each step,
// and the run's end. The GUI shows it in its progress window; quarvelctl
// harvest on stderr.

HarvestCounters CountersOf(const LogModel& model);

// What a face shows of a run while it goes on.
class DatabaseUpdateProgress {
public:
    virtual ~DatabaseUpdateProgress() = default;
    // The walk has begun with this many planned steps (it may take fewer).
    virtual void Begin(int plannedSteps) = 0;
    // A step has ended: the steps done so far (from 1) and the counters
    // after it. The face shows them and handles its pending events here;
    // false ends the run after this step.
    virtual bool StepDone(int stepsDone, const HarvestCounters& counters) = 0;
};

struct DatabaseUpdateOutcome {
    enum class End {
        AllLines, // every line was harvested
        Stopped,  // the face asked to stop after a step
        Failed,   // an engine error or a lack of memory ended it
    };
    End end = End::AllLines;
    // What to tell the user when the run failed: the engine's description
    // (or "Other error" when memory ran out) under the application title.
    std::optional<Message> failure;
    HarvestCounters counters; // as the run left them
};

// Runs the walk over the model's player database (set beforehand with
// LogModel::SetPlayerDatabase) and closes the database again, whatever
// happens. On a failure, what was stored before it is committed before the
// outcome says so; a failure to commit or close at the end counts as the
// run's failure when nothing failed earlier. Nothing is thrown.
DatabaseUpdateOutcome RunHarvestWalk(LogModel& model, DatabaseUpdateProgress& progress);

// Whether the "Database update" command can be given: a database is
// configured and no run of the view is in progress.
inline bool IsDatabaseUpdateEnabled(std::string_view databasePath, bool updateRunning) {
    return !databasePath.empty() && !updateRunning;
}
