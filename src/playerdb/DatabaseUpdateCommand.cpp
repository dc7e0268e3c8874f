#include "DatabaseUpdateCommand.h"

#include "AppConfig.h"
#include "DatabaseUpdateRun.h"
#include "LogModel.h"
#include "MessageBoxSink.h"
#include "PumpMessages.h"
#include "SqlPlayerDatabase.h"

#include <memory>

namespace {

// The run as the dialog shows it: the progress and the counters after each
// step, then the pending window messages, among them a press of Stop.
class DialogProgress final : public DatabaseUpdateProgress {
public:
    explicit DialogProgress(QPointer<CDatabaseUpdateDlg>& dialog) : dialog_(dialog) {}

    void Begin(int plannedSteps) override {
        if (dialog_) {
            dialog_->SetProgressRange(plannedSteps);
        }
    }

    bool StepDone(int stepsDone, const HarvestCounters& counters) override {
        if (dialog_) {
            dialog_->SetProgressPosition(stepsDone);
            dialog_->SetCounters(counters);
        }
        PumpMessages();
        return dialog_ && !dialog_->stopped();
    }

private:
    QPointer<CDatabaseUpdateDlg>& dialog_;
};

} // namespace

void RunDatabaseUpdate(QWidget* view, LogModel& model, const AppConfig& config, bool& updateRunning,
                       QPointer<CDatabaseUpdateDlg>& updateDialog, MessageSink* messages) {
    updateRunning = true;
    // A parent, the main window, owns the dialog; "Close" destroys it.
    updateDialog = new CDatabaseUpdateDlg(view->window());
    // The counters of the document's previous run until the first step ends.
    updateDialog->SetCounters(CountersOf(model));
    updateDialog->Create();

    model.SetPlayerDatabase(std::make_unique<SqlPlayerDatabase>(config.DatabaseLocation()));
    DialogProgress progress(updateDialog);
    const DatabaseUpdateOutcome outcome = RunHarvestWalk(model, progress);

    if (updateDialog) {
        // A walk may take fewer steps than it planned: once every line is
        // harvested, the bar shows the whole.
        if (outcome.end == DatabaseUpdateOutcome::End::AllLines) {
            updateDialog->SetProgressComplete();
        }
        // The run is over however it ended; after a failure too the button
        // says that it only closes the window now.
        updateDialog->MarkFinished();
        // After a failure the rows of the step it ended were committed too;
        // the counters say what is stored.
        updateDialog->SetCounters(outcome.counters);
    }
    if (outcome.failure) {
        MessageBoxSink boxes(view);
        (messages != nullptr ? *messages : boxes).Show(*outcome.failure);
    }
    updateRunning = false;
}
