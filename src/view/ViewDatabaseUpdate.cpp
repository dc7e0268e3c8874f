// The "Database update" command of the view.
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "DatabaseUpdateCommand.h"
#include "GlobalConfig.h"

void CQuarvelView::OnDatabaseUpdate() {
    // The command is disabled for this view while its run goes on; the frame
    // asks again when told.
    updateRunning_ = true;
    emit commandStateChanged();
    RunDatabaseUpdate(this, document_.model(), theAppConfig, updateRunning_, updateDialog_);
    updateRunning_ = false;
    emit commandStateChanged();
}
