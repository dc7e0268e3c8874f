#include "CQuarvelDoc.h"

#include "DocumentLoading.h"
#include "LiveHarvest.h"
#include "LogFileWatcher.h"
#include "RotatedLogDrain.h"

#include <QFile>
#include <QFileInfo>

namespace {

// How long "reloaded" stays in the status bar.
constexpr int kReloadNoticeMs = 10'000;

} // namespace

CQuarvelDoc::CQuarvelDoc()
    : reconnectWait_(kFirstReconnectWait), rotationGrace_(kDefaultRotationGrace) {
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
    reconnect_.setSingleShot(true);
    connect(&reconnect_, &QTimer::timeout, this, &CQuarvelDoc::HarvestPending);
}

CQuarvelDoc::~CQuarvelDoc() = default;

bool CQuarvelDoc::Open(const QString& path, std::int64_t firstByte) {
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
    model_.Load(QFile::encodeName(path_).toStdString(), kFirstLoadPartBytes, firstByte);
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
    // A rotated file goes aside, for a live harvest to read on.
    if (liveHarvest_ && !replacedFile_) {
        replacedFile_ = std::make_unique<LogStore>();
    }
    const FileChange change = model_.Refresh(liveHarvest_ ? replacedFile_.get() : nullptr);
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
        RestartLiveHarvest(change);
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
    // Loaded again from its first line: the harvest starts over with it.
    RestartLiveHarvest(FileChange::Truncated);
    marks_.Load(path_);
    emit reloaded(FileChange::Replaced);
    emit marksChanged();
    if (liveHarvest_) {
        harvestSoon_.start();
    }
    return true;
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
