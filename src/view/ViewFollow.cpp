// Following a growing log: the view takes in the lines the document appends,
// keeps the end in view while it was in view, and starts afresh when the
// document loads its file again.
#include "AppConfig.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "LoadingProgress.h"
#include "LogSearch.h"

#include <QScrollBar>
#include <algorithm>

void CQuarvelView::OnLinesAppended(int first) {
    // The last line was in view, or every line fitted.
    const bool endInView = topLine_ + visibleLines_ >= lineCount_;
    lineCount_ = document_.model().lineCount();
    verticalScrollBar()->setRange(0, std::max(lineCount_ - visibleLines_, 0));
    UpdateHorizontalRange(); // measures only the new lines
    if (following_ && endInView) {
        topLine_ = LimitTopLine(lineCount_);
        SetVerticalPosition();
        viewport()->update();
    } else {
        // Only the rows of new lines that fall in the window change.
        UpdateLines(first, lineCount_ - 1);
    }
    emit lineCountChanged();
}

void CQuarvelView::OnReloaded() {
    // Another file now, or the same one written anew: nothing of the old
    // positions applies.
    const bool hadSelection = selectionActive_;
    ResetPositions();
    lineCount_ = document_.model().lineCount();
    search_->ForgetLines();
    widestLine_ = 0;
    linesMeasured_ = 0;
    UpdateHorizontalRange();
    verticalScrollBar()->setRange(0, std::max(lineCount_ - visibleLines_, 0));
    SetHorizontalPosition();
    SetVerticalPosition();
    if (following_) {
        OnVScroll(QAbstractSlider::SliderToMaximum);
    }
    viewport()->update();
    UpdateCaretPos();
    if (hadSelection) {
        emit commandStateChanged();
    }
    emit lineCountChanged();
}

void CQuarvelView::SetFollowing(bool follow) {
    if (follow == following_) {
        return;
    }
    following_ = follow;
    if (following_) {
        topLine_ = LimitTopLine(lineCount_);
        SetVerticalPosition();
        viewport()->update();
    }
    emit commandStateChanged();
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
