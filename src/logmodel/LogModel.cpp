#include "LogModel.h"

#include "ColourCodes.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <limits>
#include <string_view>
#include <thread>

namespace {

// How much the splitting thread splits before it tells the classifying one.
constexpr std::int64_t kConcurrentSplitBytes = 1 << 20;

} // namespace

bool LogModel::Load(const std::string& path) {
    return Load(path, std::numeric_limits<std::int64_t>::max());
}

bool LogModel::Load(const std::string& path, std::int64_t bytes, std::int64_t firstByte) {
    const LoadStatus status = store_.Load(path, bytes, firstByte);
    ResetClassification(false);
    return status == LoadStatus::Loaded;
}

bool LogModel::SplitMore(std::int64_t bytes) {
    return store_.SplitMore(bytes);
}

void LogModel::ResetClassification(bool keepPlayers) {
    if (keepPlayers) {
        classifier_.RestartKeepingPlayers();
    } else {
        classifier_.Reset();
    }
    nextLine_ = 0;
    walkEnd_ = 0;
    stepsDone_ = 0;
}

FileChange LogModel::Refresh(LogStore* replaced) {
    const int reloadsBefore = store_.reloads();
    const FileChange change = store_.Refresh(replaced);
    if (store_.reloads() != reloadsBefore) {
        // A log rotated under its path: its players are still on the
        // server.
        ResetClassification(true);
    }
    return change;
}

void LogModel::SplitAndClassifyRest() {
    ClassifyUpTo(lineCount());
    if (fullySplit()) {
        return;
    }
    // The splitter appends to the store while this thread reads lines it
    // has published; room for every line the rest could hold keeps the
    // store's block table where it is meanwhile.
    store_.ReserveForRest();
    std::atomic<int> published = lineCount();
    std::atomic<bool> finished = false;
    std::exception_ptr splitFailure;
    {
        std::jthread splitter([&](std::stop_token stop) {
            try {
                while (!stop.stop_requested() && store_.SplitMore(kConcurrentSplitBytes)) {
                    published.store(store_.lineCount(), std::memory_order_release);
                }
                published.store(store_.lineCount(), std::memory_order_release);
            } catch (...) {
                splitFailure = std::current_exception();
            }
            finished.store(true, std::memory_order_release);
        });
        try {
            for (;;) {
                const bool done = finished.load(std::memory_order_acquire);
                const int available = published.load(std::memory_order_acquire);
                if (classifier_.classifiedCount() < available) {
                    classifier_.ClassifyUpTo(store_, available);
                } else if (done) {
                    break;
                } else {
                    std::this_thread::yield();
                }
            }
        } catch (...) {
            splitter.request_stop();
            throw;
        }
    }
    if (splitFailure) {
        std::rethrow_exception(splitFailure);
    }
}

LineView LogModel::Line(int i) const {
    const std::string_view text = store_.LineText(i);
    LineView view;
    view.text = text.data();
    view.byteLength = static_cast<std::int32_t>(text.size());
    if (IsClassified(i)) {
        classifier_.LaySegments(i, view, eventTextOffset());
    } else {
        SetPlainSegments(view);
    }
    return view;
}

int LogModel::VisibleLength(int i) const {
    const std::string_view text = LineText(i);
    if (!IsClassified(i) || text.find('^') == std::string_view::npos) {
        return static_cast<int>(text.size());
    }
    return Line(i).visibleLength;
}

void LogModel::ClassifyUpTo(int end) {
    classifier_.ClassifyUpTo(store_, std::min(end, lineCount()));
}
