#include "LogMarks.h"

#include "UserSettings.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>
#include <algorithm>

namespace {

// The hash of the first `bytes` bytes of the file, or nothing when it has
// fewer or cannot be read.
QByteArray HeadHash(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray head = file.read(bytes);
    if (head.size() != bytes) {
        return {};
    }
    return QCryptographicHash::hash(head, QCryptographicHash::Sha1).toHex();
}

// The settings group of a path's marks.
QString GroupOf(const QString& path) {
    return QStringLiteral("Marks/") +
           QString::fromLatin1(
               QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex());
}

} // namespace

void LogMarks::Load(const QString& path) {
    path_ = path;
    lines_.Clear();
    QSettings settings = UserSettings();
    settings.beginGroup(GroupOf(path));
    const qint64 headBytes = settings.value(QStringLiteral("HeadBytes"), -1).toLongLong();
    const QByteArray head = settings.value(QStringLiteral("Head")).toByteArray();
    if (headBytes < 0 || head.isEmpty() || HeadHash(path, headBytes) != head) {
        return;
    }
    const QStringList numbers =
        settings.value(QStringLiteral("Lines")).toString().split(u',', Qt::SkipEmptyParts);
    for (const QString& number : numbers) {
        bool ok = false;
        const int line = number.toInt(&ok);
        if (ok && line >= 0) {
            lines_.Add(line);
        }
    }
}

bool LogMarks::Toggle(int line) {
    if (line < 0) {
        return false;
    }
    const bool marked = !lines_.Contains(line);
    if (marked) {
        lines_.Add(line);
    } else {
        lines_.Remove(line);
    }
    Save();
    return marked;
}

void LogMarks::Save() const {
    QSettings settings = UserSettings();
    const QString group = GroupOf(path_);
    if (lines_.Empty()) {
        settings.remove(group);
        return;
    }
    const qint64 headBytes = std::min(QFile(path_).size(), kHeadBytes);
    QStringList numbers;
    lines_.ForEachFrom(0, [&numbers](int line) {
        numbers.append(QString::number(line));
        return true;
    });
    settings.beginGroup(group);
    settings.setValue(QStringLiteral("HeadBytes"), headBytes);
    settings.setValue(QStringLiteral("Head"), HeadHash(path_, headBytes));
    settings.setValue(QStringLiteral("Lines"), numbers.join(u','));
}
