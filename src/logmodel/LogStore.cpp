#include "LogStore.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

// How much of the file's beginning is compared to tell a file that was
// truncated and written again from one that only grew.
constexpr std::size_t kHeadBytes = 16 * 1024;
// How many first lines tell the width of a log's time stamps.
constexpr int kStampSampleLines = 50;
constexpr std::int64_t kWholeFile = std::numeric_limits<std::int64_t>::max();

} // namespace

LoadStatus LogStore::Load(const std::string& path, std::int64_t bytes, std::int64_t firstByte) {
    path_ = path;
    deleted_ = false;
    Reload(bytes, firstByte);
    return loadStatus_;
}

void LogStore::Reload(std::int64_t bytes, std::int64_t firstByte) {
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
    // A start past the end (the file is shorter than it was) is no place in
    // this file: it is read from its beginning.
    splitStart_ = firstByte > 0 && firstByte <= fileSize_ ? firstByte : 0;
    splitEnd_ = scanned_ = splitStart_;
    SplitUpTo(fileSize_ - splitStart_ > bytes ? splitStart_ + bytes : fileSize_);
    DetectStampWidth();
    RememberHead();
}

void LogStore::MoveFileTo(LogStore& to) {
    to.Close();
    file_.swap(to.file_);
    lines_.swap(to.lines_);
    to.path_ = path_;
    to.loadStatus_ = loadStatus_;
    to.fileSize_ = fileSize_;
    to.splitStart_ = splitStart_;
    to.splitEnd_ = splitEnd_;
    to.scanned_ = scanned_;
    to.identity_ = identity_;
    to.eventTextOffset_ = eventTextOffset_;
    to.stampDetected_ = stampDetected_;
    to.headLength_ = headLength_;
    to.headHash_ = headHash_;
    to.deleted_ = true; // its path names another file
    Close();
}

void LogStore::Close() {
    file_.Close();
    lines_.Clear();
    fileSize_ = 0;
    splitStart_ = 0;
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
    if (stampDetected_) {
        return;
    }
    if (splitStart_ > 0) {
        DetectStampWidthFromHead();
        return;
    }
    if (lineCount() == 0) {
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

void LogStore::DetectStampWidthFromHead() {
    // The same lines a load from the beginning samples: the file's first
    // whole lines, each without its LF and a CR before it.
    std::vector<std::string_view> first;
    std::int64_t at = 0;
    while (static_cast<int>(first.size()) < kStampSampleLines && at < fileSize_) {
        file_.ReadAhead(at, std::min(fileSize_, at + (1 << 16)));
        const char* begin = file_.data() + at;
        const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(fileSize_ - at));
        if (lf == nullptr) {
            break;
        }
        std::size_t length = static_cast<std::size_t>(static_cast<const char*>(lf) - begin);
        at += static_cast<std::int64_t>(length) + 1;
        if (length > 0 && begin[length - 1] == '\r') {
            --length;
        }
        first.emplace_back(begin, length);
    }
    if (!first.empty()) {
        eventTextOffset_ = DetectEventTextOffset(first);
        stampDetected_ = true;
    }
}

void LogStore::RememberHead() {
    headLength_ = static_cast<std::size_t>(std::min<std::int64_t>(fileSize_, kHeadBytes));
    headHash_ = Fnv1aHash(file_.data(), headLength_);
}

bool LogStore::HeadChanged() const {
    const auto now = file_.HeadHash(headLength_);
    return !now || *now != headHash_;
}

FileChange LogStore::Refresh(LogStore* replaced) {
    if (path_.empty()) {
        return FileChange::None;
    }
    const std::optional<FileIdentity> atPath = IdentityOfPath(path_);
    if (!atPath) {
        if (deleted_) {
            // Renamed away, the file may still be written to through a
            // descriptor its writer holds: what it gets is read on.
            return ReadGrowth() == FileChange::Grew ? FileChange::Grew : FileChange::None;
        }
        deleted_ = true;
        return FileChange::Deleted;
    }
    if (deleted_ || (identity_ && *atPath != *identity_)) {
        // Renamed away and created anew (a rotation), or back after a
        // deletion: another file.
        deleted_ = false;
        if (replaced != nullptr && file_.isOpen()) {
            MoveFileTo(*replaced);
        }
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
    const FileChange change = ReadGrowth();
    if (change == FileChange::Truncated) {
        Reload(kWholeFile);
    }
    return change;
}

FileChange LogStore::ReadGrowth() {
    if (!file_.isOpen()) {
        return FileChange::None;
    }
    const std::int64_t size = file_.CurrentSize();
    if (size < 0) {
        return FileChange::None;
    }
    if (size < fileSize_ || HeadChanged()) {
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
