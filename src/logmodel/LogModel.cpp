#include "LogModel.h"

#include "ColourCodes.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// How much of the file's beginning is compared to tell a file that was
// truncated and written again from one that only grew.
constexpr std::size_t kHeadBytes = 16 * 1024;
// How many first lines tell the width of a log's time stamps.
constexpr int kStampSampleLines = 50;

} // namespace

LogModel::LogModel()
    : playerSlots_(std::make_unique<PlayerSlotTable>()), guidTable_(std::make_unique<GuidTable>()) {
}

LogModel::~LogModel() {
    Close();
}

bool LogModel::Load(const std::string& path) {
    path_ = path;
    deleted_ = false;
    Reload();
    return loadStatus_ == FileMapping::kLoaded;
}

void LogModel::Reload() {
    Close();
    ResetClassification();
    loadStatus_ = file_.Open(path_);
    identity_ = file_.identity();
    if (loadStatus_ != FileMapping::kLoaded) {
        return;
    }
    SplitNewBytes();
    RememberHead();
}

void LogModel::Close() {
    file_.Close();
    lines_.Clear();
    fileSize_ = 0;
    splitEnd_ = 0;
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
    splitEnd_ = lines_.Append(file_.data(), splitEnd_, fileSize_);
    if (!stampDetected_ && lineCount() > 0) {
        // Decided once, before any line is classified or harvested.
        std::vector<std::string_view> first;
        for (int i = 0; i < std::min(lineCount(), kStampSampleLines); ++i) {
            first.push_back(LineText(i));
        }
        eventTextOffset_ = DetectEventTextOffset(first);
        stampDetected_ = true;
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
        Reload();
        return FileChange::Replaced;
    }
    if (!file_.isOpen()) {
        // A file that was empty (or could not be mapped) when it was loaded
        // is loaded as soon as it has something to show: its lines are then
        // all new.
        const int before = lineCount();
        Reload();
        return lineCount() > before ? FileChange::Grew : FileChange::None;
    }
    const std::int64_t size = file_.CurrentSize();
    if (size < 0) {
        return FileChange::None;
    }
    if (size < fileSize_ || HeadChanged()) {
        Reload();
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
