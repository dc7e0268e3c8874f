// The "Database update" command of the view.
#include "AppConfig.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "DatabaseUpdateCommand.h"

void CQuarvelView::OnDatabaseUpdate() {
    // The command is disabled for this view while its run goes on; the frame
    // asks again when told.
    updateRunning_ = true;
    emit commandStateChanged();
    // The run harvests every line of the log: a log still loading is loaded
    // whole first.
    document_.FinishLoading();
    // The run lets the event loop turn between its steps; the lines it walks
    // must not be loaded again meanwhile.
    const CQuarvelDoc::ChangesDeferred deferred(document_);
    RunDatabaseUpdate(this, document_.model(), config_, updateRunning_, updateDialog_);
    updateRunning_ = false;
    emit commandStateChanged();
}
