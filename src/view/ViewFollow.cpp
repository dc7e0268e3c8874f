// Following a growing log: the view takes in the lines the document appends
// and starts afresh when the document loads its file again; the document's
// live harvest and its loading in slices.
#include "AppConfig.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "LoadingProgress.h"

void CQuarvelView::OnLinesAppended(int first) {
    TakeAppendedLines(first, document_.model().lineCount());
}

void CQuarvelView::OnReloaded() {
    ResetLines(document_.model().lineCount());
    if (document_.loading()) {
        ShowLoadingProgress();
    }
}

void CQuarvelView::OnKeepDatabaseUpdated() {
    if (document_.liveHarvestOn()) {
        document_.StopLiveHarvest();
    } else if (!config_.databasePath.empty()) {
        document_.StartLiveHarvest(config_.DatabaseLocation());
    }
    emit commandStateChanged();
}

void CQuarvelView::OnLoadProgressed() {
    if (loadingProgress_ != nullptr) {
        loadingProgress_->SetPermille(document_.loadedPermille());
    }
    // Lines in view may have been classified: they show their colours now.
    UpdateHorizontalRange();
    viewport()->update();
}

void CQuarvelView::OnLoadFinished() {
    LoadingProgress::Drop(loadingProgress_);
    UpdateHorizontalRange();
    viewport()->update();
    emit commandStateChanged();
}
