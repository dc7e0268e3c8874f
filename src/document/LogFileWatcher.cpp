#include "LogFileWatcher.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {
constexpr int kFallbackIntervalMs = 1000;
} // namespace

LogFileWatcher::LogFileWatcher(const QString& path, QObject* parent)
    : QObject(parent), path_(QFileInfo(path).absoluteFilePath()),
      folder_(QFileInfo(path_).absolutePath()) {
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &LogFileWatcher::OnNotified);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &LogFileWatcher::OnNotified);
    watcher_.addPath(folder_);
    WatchFileAgain();

    // A writer appends a line at a time; the notifications of one burst are
    // answered by one look, on the next turn of the event loop.
    coalesce_.setSingleShot(true);
    coalesce_.setInterval(0);
    connect(&coalesce_, &QTimer::timeout, this, [this] {
        last_ = LookAt(path_);
        emit mayHaveChanged();
    });

    last_ = LookAt(path_);
    everySecond_.setInterval(kFallbackIntervalMs);
    connect(&everySecond_, &QTimer::timeout, this, &LogFileWatcher::OnSecond);
    everySecond_.start();
}

LogFileWatcher::Look LogFileWatcher::LookAt(const QString& path) {
    Look look;
    const QFileInfo info(path);
    if (!info.exists()) {
        return look;
    }
    look.exists = true;
    look.size = info.size();
    look.modified = info.lastModified().toMSecsSinceEpoch();
#ifndef _WIN32
    // A file renamed over the log may have the same size and time.
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        look.device = status.st_dev;
        look.inode = status.st_ino;
    }
#endif
    return look;
}

void LogFileWatcher::OnNotified() {
    WatchFileAgain();
    if (!coalesce_.isActive()) {
        coalesce_.start();
    }
}

void LogFileWatcher::OnSecond() {
    // For file systems that send no notifications (network shares among
    // them): the same answer, at most a second late. While the path names
    // no file, the log renamed away may still grow through its writer's
    // descriptor, which no look at the path shows: the document looks at it
    // every second.
    const Look now = LookAt(path_);
    if (!(now == last_) || !now.exists) {
        OnNotified();
    }
}

void LogFileWatcher::WatchFileAgain() {
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_)) {
        watcher_.addPath(path_);
    }
}
