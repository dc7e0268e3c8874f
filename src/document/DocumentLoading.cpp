// The loading of a large log in slices, between which the event loop turns.
#include "DocumentLoading.h"

#include "CQuarvelDoc.h"

#include <QElapsedTimer>
#include <algorithm>

void CQuarvelDoc::StartLoading() {
    loading_ = true;
    loadDeferral_.emplace(*this);
    loadSoon_.start();
}

void CQuarvelDoc::LoadSlice() {
    if (!loading_) {
        return;
    }
    const int before = model_.lineCount();
    QElapsedTimer clock;
    clock.start();
    try {
        do {
            if (model_.classifiedCount() == model_.lineCount() && !model_.fullySplit()) {
                model_.SplitMore(kLoadSliceBytes);
            }
            model_.ClassifyUpTo(static_cast<int>(std::min<std::int64_t>(
                model_.lineCount(), std::int64_t{model_.classifiedCount()} + kLoadSliceLines)));
        } while (clock.elapsed() < kLoadSliceMs && !LoadComplete());
    } catch (...) {
        // A failure (out of memory) ends the loading: the log closes and the
        // failure is shown once, not again at every slice.
        CancelLoading();
        throw;
    }
    AnnounceLoaded(before);
    if (LoadComplete()) {
        EndLoading();
    }
}

void CQuarvelDoc::FinishLoading() {
    if (!loading_) {
        return;
    }
    const int before = model_.lineCount();
    try {
        model_.SplitAndClassifyRest();
    } catch (...) {
        CancelLoading();
        throw;
    }
    AnnounceLoaded(before);
    EndLoading();
}

bool CQuarvelDoc::LoadComplete() const {
    return model_.fullySplit() && model_.classifiedCount() == model_.lineCount();
}

void CQuarvelDoc::AnnounceLoaded(int before) {
    if (model_.lineCount() > before) {
        emit linesAppended(before);
        // A live harvest takes the new lines as it takes appended ones.
        if (liveHarvest_) {
            harvestSoon_.start();
        }
    }
    emit loadProgressed();
}

void CQuarvelDoc::EndLoading() {
    loading_ = false;
    loadSoon_.stop();
    emit loadFinished();
    // Changes of the file that came meanwhile are looked at now.
    loadDeferral_.reset();
}

void CQuarvelDoc::CancelLoading() {
    if (!loading_) {
        return;
    }
    loading_ = false;
    loadSoon_.stop();
    loadDeferral_.reset();
    emit loadCancelled();
}

int CQuarvelDoc::loadedPermille() const {
    const std::int64_t size = model_.fileSize();
    if (!loading_ || size <= 0 || model_.lineCount() == 0) {
        return loading_ ? 0 : 1000;
    }
    const std::int64_t classified = model_.lineStore().Offset(model_.classifiedCount());
    return static_cast<int>(std::clamp<std::int64_t>(classified * 1000 / size, 0, 1000));
}
