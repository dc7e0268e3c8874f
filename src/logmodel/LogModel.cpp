#include "LogModel.h"

#include "ColourCodes.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <limits>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// How much of the file's beginning is compared to tell a file that was
// truncated and written again from one that only grew.
constexpr std::size_t kHeadBytes = 16 * 1024;
// How many first lines tell the width of a log's time stamps.
constexpr int kStampSampleLines = 50;
// How much the splitting thread splits before it tells the classifying one.
constexpr std::int64_t kConcurrentSplitBytes = 1 << 20;

} // namespace

LogModel::LogModel()
    : playerSlots_(std::make_unique<PlayerSlotTable>()), guidTable_(std::make_unique<GuidTable>()) {
}

LogModel::~LogModel() {
    Close();
}

bool LogModel::Load(const std::string& path) {
    return Load(path, std::numeric_limits<std::int64_t>::max());
}

bool LogModel::Load(const std::string& path, std::int64_t bytes) {
    path_ = path;
    deleted_ = false;
    Reload(bytes);
    return loadStatus_ == LoadStatus::Loaded;
}

void LogModel::Reload(std::int64_t bytes) {
    Close();
    ResetClassification();
    loadStatus_ = file_.Open(path_);
    identity_ = file_.identity();
    if (loadStatus_ != LoadStatus::Loaded) {
        return;
    }
    fileSize_ = file_.size();
    SplitUpTo(bytes < fileSize_ ? bytes : fileSize_);
    DetectStampWidth();
    RememberHead();
}

void LogModel::Close() {
    file_.Close();
    lines_.Clear();
    fileSize_ = 0;
    splitEnd_ = 0;
    scanned_ = 0;
    identity_.reset();
    headLength_ = 0;
}

void LogModel::ResetClassification() {
    eventTextOffset_ = kEventTextOffset;
    stampDetected_ = false;
    playerSlots_ = std::make_unique<PlayerSlotTable>();
    guidTable_ = std::make_unique<GuidTable>();
    timeline_.Clear();
    aliasMemos_ = {};
    chatSlots_.Clear();
    classifiedCount_ = 0;
    nextLine_ = 0;
    walkEnd_ = 0;
    stepsDone_ = 0;
}

void LogModel::SplitNewBytes() {
    fileSize_ = file_.size();
    SplitUpTo(fileSize_);
    DetectStampWidth();
}

int LogModel::SplitUpTo(std::int64_t limit) {
    const int before = lineCount();
    std::int64_t step = std::max<std::int64_t>(limit - splitEnd_, 0);
    for (;;) {
        const std::int64_t from = scanned_;
        scanned_ = std::max(scanned_, std::min(limit, fileSize_));
        file_.ReadAhead(from, scanned_);
        splitEnd_ = lines_.Append(file_.data(), splitEnd_, scanned_);
        if (lineCount() > before || scanned_ >= fileSize_) {
            return lineCount() - before;
        }
        // A line longer than the part asked for: look further.
        step = std::max<std::int64_t>(step * 2, 1 << 16);
        limit = scanned_ + step;
    }
}

bool LogModel::SplitMore(std::int64_t bytes) {
    if (fullySplit()) {
        return false;
    }
    SplitUpTo(fileSize_ - scanned_ > bytes ? scanned_ + bytes : fileSize_);
    DetectStampWidth();
    return !fullySplit();
}

void LogModel::DetectStampWidth() {
    if (stampDetected_ || lineCount() == 0) {
        return;
    }
    // Decided once, before any line is classified or harvested, from the
    // first lines split: at least as many as a whole file of that many has.
    while (lineCount() < kStampSampleLines && !fullySplit()) {
        SplitUpTo(scanned_ + (1 << 16));
    }
    std::vector<std::string_view> first;
    for (int i = 0; i < std::min(lineCount(), kStampSampleLines); ++i) {
        first.push_back(LineText(i));
    }
    eventTextOffset_ = DetectEventTextOffset(first);
    stampDetected_ = true;
}

void LogModel::SplitAndClassifyRest() {
    ClassifyUpTo(lineCount());
    if (fullySplit()) {
        return;
    }
    // The splitter appends to the store while this thread reads lines it
    // has published; room for every line the rest could hold keeps the
    // store's block table where it is meanwhile.
    lines_.ReserveFor(static_cast<std::int64_t>(lineCount()) + (fileSize_ - splitEnd_) + 1);
    std::atomic<int> published = lineCount();
    std::atomic<bool> finished = false;
    std::exception_ptr splitFailure;
    {
        std::jthread splitter([&](std::stop_token stop) {
            try {
                while (!stop.stop_requested() && !fullySplit()) {
                    SplitUpTo(std::min(fileSize_, scanned_ + kConcurrentSplitBytes));
                    published.store(lines_.lineCount(), std::memory_order_release);
                }
            } catch (...) {
                splitFailure = std::current_exception();
            }
            finished.store(true, std::memory_order_release);
        });
        try {
            for (;;) {
                const bool done = finished.load(std::memory_order_acquire);
                const int available = published.load(std::memory_order_acquire);
                if (classifiedCount_ < available) {
                    for (int i = classifiedCount_; i < available; ++i) {
                        WalkLine(i);
                    }
                    classifiedCount_ = available;
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

void LogModel::RememberHead() {
    headLength_ = static_cast<std::size_t>(std::min<std::int64_t>(fileSize_, kHeadBytes));
    headHash_ = Fnv1aHash(file_.data(), headLength_);
}

bool LogModel::HeadChanged() const {
    const auto now = file_.HeadHash(headLength_);
    return !now || *now != headHash_;
}

FileChange LogModel::Refresh() {
    if (path_.empty()) {
        return FileChange::None;
    }
    const std::optional<FileIdentity> atPath = IdentityOfPath(path_);
    if (!atPath) {
        if (deleted_) {
            return FileChange::None;
        }
        deleted_ = true;
        return FileChange::Deleted;
    }
    if (deleted_ || (identity_ && *atPath != *identity_)) {
        // Renamed away and created anew (a rotation), or back after a
        // deletion: another file.
        deleted_ = false;
        Reload(std::numeric_limits<std::int64_t>::max());
        return FileChange::Replaced;
    }
    if (!file_.isOpen()) {
        // A file that was empty (or could not be mapped) when it was loaded
        // is loaded as soon as it has something to show: its lines are then
        // all new.
        const int before = lineCount();
        Reload(std::numeric_limits<std::int64_t>::max());
        return lineCount() > before ? FileChange::Grew : FileChange::None;
    }
    const std::int64_t size = file_.CurrentSize();
    if (size < 0) {
        return FileChange::None;
    }
    if (size < fileSize_ || HeadChanged()) {
        Reload(std::numeric_limits<std::int64_t>::max());
        return FileChange::Truncated;
    }
    if (size == fileSize_) {
        return FileChange::None;
    }
    if (!file_.Extend(size)) {
        return FileChange::None; // no room for more: what was read stays
    }
    const int before = lineCount();
    SplitNewBytes();
    if (headLength_ < kHeadBytes) {
        RememberHead();
    }
    return lineCount() > before ? FileChange::Grew : FileChange::None;
}

LineView LogModel::Line(int i) const {
    LineView view;
    view.text = file_.data() + lines_.Offset(i);
    view.byteLength = lines_.ByteLength(i);
    if (i < classifiedCount_) {
        LaySegments(i, view);
    } else {
        SetPlainSegments(view);
    }
    return view;
}

int LogModel::VisibleLength(int i) const {
    const std::string_view text = LineText(i);
    if (i >= classifiedCount_ || text.find('^') == std::string_view::npos) {
        return static_cast<int>(text.size());
    }
    return Line(i).visibleLength;
}

void LogModel::ClassifyUpTo(int end) {
    end = std::min(end, lineCount());
    for (int i = classifiedCount_; i < end; ++i) {
        WalkLine(i);
    }
    classifiedCount_ = std::max(classifiedCount_, end);
}
