#include "LogStore.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// How much of the file's beginning is compared to tell a file that was
// truncated and written again from one that only grew.
constexpr std::size_t kHeadBytes = 16 * 1024;
// How many first lines tell the width of a log's time stamps.
constexpr int kStampSampleLines = 50;
constexpr std::int64_t kWholeFile = std::numeric_limits<std::int64_t>::max();

} // namespace

LoadStatus LogStore::Load(const std::string& path, std::int64_t bytes) {
    path_ = path;
    deleted_ = false;
    Reload(bytes);
    return loadStatus_;
}

void LogStore::Reload(std::int64_t bytes) {
    Close();
    ++reloads_;
    eventTextOffset_ = kEventTextOffset;
    stampDetected_ = false;
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

void LogStore::Close() {
    file_.Close();
    lines_.Clear();
    fileSize_ = 0;
    splitEnd_ = 0;
    scanned_ = 0;
    identity_.reset();
    headLength_ = 0;
}

void LogStore::SplitNewBytes() {
    fileSize_ = file_.size();
    SplitUpTo(fileSize_);
    DetectStampWidth();
}

int LogStore::SplitUpTo(std::int64_t limit) {
    const int before = lineCount();
    std::int64_t step = std::max<std::int64_t>(limit - splitEnd_, 0);
    for (;;) {
        const std::int64_t from = scanned_;
        scanned_ = std::max(scanned_, std::min(limit, fileSize_));
        file_.ReadAhead(from, scanned_);
        // Bytes before `from` were looked at by the last split: a long line
        // that grows is read once, not again at every look.
        splitEnd_ = lines_.Append(file_.data(), splitEnd_, from, scanned_);
        if (lineCount() > before || scanned_ >= fileSize_) {
            return lineCount() - before;
        }
        // A line longer than the part asked for: look further.
        step = std::max<std::int64_t>(step * 2, 1 << 16);
        limit = scanned_ + step;
    }
}

bool LogStore::SplitMore(std::int64_t bytes) {
    if (fullySplit()) {
        return false;
    }
    SplitUpTo(fileSize_ - scanned_ > bytes ? scanned_ + bytes : fileSize_);
    DetectStampWidth();
    return !fullySplit();
}

void LogStore::ReserveForRest() {
    lines_.ReserveFor(static_cast<std::int64_t>(lineCount()) + (fileSize_ - splitEnd_) + 1);
}

void LogStore::DetectStampWidth() {
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

void LogStore::RememberHead() {
    headLength_ = static_cast<std::size_t>(std::min<std::int64_t>(fileSize_, kHeadBytes));
    headHash_ = Fnv1aHash(file_.data(), headLength_);
}

bool LogStore::HeadChanged() const {
    const auto now = file_.HeadHash(headLength_);
    return !now || *now != headHash_;
}

FileChange LogStore::Refresh() {
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
        Reload(kWholeFile);
        return FileChange::Replaced;
    }
    if (!file_.isOpen()) {
        // A file that was empty (or could not be mapped) when it was loaded
        // is loaded as soon as it has something to show: its lines are then
        // all new.
        const int before = lineCount();
        Reload(kWholeFile);
        return lineCount() > before ? FileChange::Grew : FileChange::None;
    }
    const std::int64_t size = file_.CurrentSize();
    if (size < 0) {
        return FileChange::None;
    }
    if (size < fileSize_ || HeadChanged()) {
        Reload(kWholeFile);
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
