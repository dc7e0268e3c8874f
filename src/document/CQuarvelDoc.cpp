#include "CQuarvelDoc.h"

#include "DocumentLoading.h"
#include "LiveHarvest.h"
#include "LogFileWatcher.h"
#include "SqlPlayerDatabase.h"

#include <QFile>
#include <QFileInfo>

namespace {

// How long "reloaded" stays in the status bar.
constexpr int kReloadNoticeMs = 10'000;
// Lines a batch of the live harvest takes at most: a log that has much to
// catch up on is harvested in slices, with the event loop turning between.
constexpr int kLiveHarvestBatchLines = 20'000;

} // namespace

CQuarvelDoc::CQuarvelDoc() {
    statusExpiry_.setSingleShot(true);
    connect(&statusExpiry_, &QTimer::timeout, this, [this] {
        if (!model_.deleted()) {
            SetFileStatus(QString(), false);
        }
    });
    harvestSoon_.setSingleShot(true);
    harvestSoon_.setInterval(0);
    connect(&harvestSoon_, &QTimer::timeout, this, &CQuarvelDoc::HarvestPending);
    loadSoon_.setInterval(0);
    connect(&loadSoon_, &QTimer::timeout, this, &CQuarvelDoc::LoadSlice);
}

CQuarvelDoc::~CQuarvelDoc() = default;

bool CQuarvelDoc::Open(const QString& path) {
    // First make sure the file can be read at all: a name that opens nothing is
    // reported by the caller. Only regular files: a FIFO would block the open
    // itself.
    const QFileInfo info(path);
    if (!info.isFile()) {
        return false;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        return false;
    }
    probe.close();

    path_ = info.absoluteFilePath();
    displayName_ = info.fileName();
    identity_ = info.canonicalFilePath();
    if (identity_.isEmpty()) {
        identity_ = path_;
    }
    // A file that opens but cannot be mapped for want of address space is
    // refused, as quarvelctl refuses it; one that maps to nothing (an empty
    // file) is an empty log.
    model_.Load(QFile::encodeName(path_).toStdString(), kFirstLoadPartBytes);
    if (model_.loadStatus() == LoadStatus::ViewFailed ||
        model_.loadStatus() == LoadStatus::OpenFailed) {
        model_.Close();
        return false;
    }
    marks_.Load(path_);
    watcher_ = std::make_unique<LogFileWatcher>(path_);
    connect(watcher_.get(), &LogFileWatcher::mayHaveChanged, this, &CQuarvelDoc::CheckFile);
    if (!model_.fullySplit()) {
        StartLoading();
    }
    return true;
}

void CQuarvelDoc::CheckFile() {
    if (deferrals_ > 0) {
        checkPending_ = true;
        return;
    }
    const int before = model_.lineCount();
    // Until the first view has classified the log, appended lines wait for
    // that walk too.
    const bool classified = model_.classifiedCount() == before;
    const FileChange change = model_.Refresh();
    switch (change) {
    case FileChange::None:
        return;
    case FileChange::Grew:
        if (classified) {
            model_.ClassifyUpTo(model_.lineCount());
        }
        emit linesAppended(before);
        break;
    case FileChange::Truncated:
    case FileChange::Replaced:
        model_.ClassifyUpTo(model_.lineCount());
        SetFileStatus(change == FileChange::Truncated ? QStringLiteral("Log truncated: reloaded")
                                                      : QStringLiteral("Log replaced: reloaded"),
                      true);
        RestartLiveHarvest();
        marks_.Load(path_);
        emit reloaded(change);
        emit marksChanged();
        break;
    case FileChange::Deleted:
        SetFileStatus(QStringLiteral("Log deleted"), false);
        return;
    }
    if (liveHarvest_) {
        harvestSoon_.start();
    }
}

void CQuarvelDoc::ToggleMark(int line) {
    if (line >= 0 && line < model_.lineCount()) {
        marks_.Toggle(line);
        emit marksChanged();
    }
}

bool CQuarvelDoc::Reload() {
    if (!QFileInfo(path_).isFile()) {
        SetFileStatus(QStringLiteral("Log deleted"), false);
        return false;
    }
    // A loading under way starts again with the file as it is now.
    if (loading_) {
        loading_ = false;
        loadSoon_.stop();
        loadDeferral_.reset();
    }
    if (deferrals_ > 0) {
        return false;
    }
    model_.Load(QFile::encodeName(path_).toStdString(), kFirstLoadPartBytes);
    if (model_.fullySplit()) {
        model_.ClassifyUpTo(model_.lineCount());
    } else {
        StartLoading();
    }
    SetFileStatus(QStringLiteral("Log reloaded"), true);
    RestartLiveHarvest();
    marks_.Load(path_);
    emit reloaded(FileChange::Replaced);
    emit marksChanged();
    if (liveHarvest_) {
        harvestSoon_.start();
    }
    return true;
}

void CQuarvelDoc::RestartLiveHarvest() {
    if (!liveHarvest_) {
        return;
    }
    if (const auto failure = liveHarvest_->Restart()) {
        liveHarvest_.reset();
        emit liveHarvestFailed(*failure);
        emit liveHarvestChanged();
    }
}

void CQuarvelDoc::SetFileStatus(const QString& status, bool forAWhile) {
    fileStatus_ = status;
    if (forAWhile) {
        statusExpiry_.start(kReloadNoticeMs);
    } else {
        statusExpiry_.stop();
    }
    emit fileStatusChanged();
}

CQuarvelDoc::ChangesDeferred::ChangesDeferred(CQuarvelDoc& document) : document_(document) {
    ++document_.deferrals_;
}

CQuarvelDoc::ChangesDeferred::~ChangesDeferred() {
    if (--document_.deferrals_ == 0 && document_.checkPending_) {
        document_.checkPending_ = false;
        QTimer::singleShot(0, &document_, &CQuarvelDoc::CheckFile);
    }
}

void CQuarvelDoc::StartLiveHarvest(const std::string& location) {
    if (liveHarvest_) {
        return;
    }
    liveHarvest_ =
        std::make_unique<LiveHarvest>(model_, std::make_unique<SqlPlayerDatabase>(location));
    harvestSoon_.start();
    emit liveHarvestChanged();
}

void CQuarvelDoc::StopLiveHarvest() {
    if (!liveHarvest_) {
        return;
    }
    harvestSoon_.stop();
    liveHarvest_.reset(); // commits the batch in hand and closes
    emit liveHarvestChanged();
}

bool CQuarvelDoc::liveHarvestUpToDate() const {
    return !liveHarvest_ || liveHarvest_->upToDate();
}

HarvestCounters CQuarvelDoc::liveHarvestCounters() const {
    return liveHarvest_ ? liveHarvest_->counters() : HarvestCounters{};
}

void CQuarvelDoc::HarvestPending() {
    if (!liveHarvest_ || liveHarvest_->upToDate()) {
        return;
    }
    const int before = liveHarvest_->harvested();
    if (const auto failure = liveHarvest_->HarvestMore(kLiveHarvestBatchLines)) {
        liveHarvest_.reset();
        emit liveHarvestFailed(*failure);
        emit liveHarvestChanged();
        return;
    }
    emit liveHarvestBatchStored(liveHarvest_->harvested() - before);
    if (liveHarvest_ && !liveHarvest_->upToDate()) {
        harvestSoon_.start();
    }
}
