#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Tells when a log file may have changed: grown, shrunk, rewritten, renamed
// away, deleted or created anew. The file and its folder are watched through
// the system's notifications (inotify on Linux); where the file system sends
// none, a look at the file's size, modification time and identity once a
// second stands in. Nothing polls faster than that, so a log that does not
// change costs next to nothing. A burst of notifications makes one signal.
// While the path names no file, the signal comes every second: the file
// renamed away may still be written to.
class LogFileWatcher : public QObject {
    Q_OBJECT

public:
    explicit LogFileWatcher(const QString& path, QObject* parent = nullptr);

signals:
    void mayHaveChanged();

private:
    struct Look {
        bool exists = false;
        qint64 size = 0;
        qint64 modified = 0;
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Look&) const = default;
    };
    static Look LookAt(const QString& path);

    void OnNotified();
    void OnSecond();
    // The watcher drops a file that is deleted or renamed away; it is watched
    // again once a file is back under its name.
    void WatchFileAgain();

    QString path_;
    QString folder_;
    QFileSystemWatcher watcher_;
    QTimer everySecond_;
    QTimer coalesce_;
    Look last_;
};
