#include "RecentFileList.h"

#include "UserSettings.h"

#include <QFileInfo>
#include <QSettings>

namespace {

constexpr char kSection[] = "Recent File List";

QString EntryKey(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

void RecentFileList::Load() {
    paths_.clear();
    QSettings settings = UserSettings();
    settings.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < kSize; ++i) {
        const QString path = settings.value(EntryKey(i)).toString();
        if (!path.isEmpty() && !paths_.contains(path)) {
            paths_.append(path);
        }
    }
}

void RecentFileList::Add(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    paths_.removeAll(path);
    paths_.prepend(path);
    while (paths_.size() > kSize) {
        paths_.removeLast();
    }
    Save();
}

void RecentFileList::Remove(int index) {
    if (index < 0 || index >= paths_.size()) {
        return;
    }
    paths_.removeAt(index);
    Save();
}

QString RecentFileList::MenuText(int index, const QString& path) {
    QString name = QFileInfo(path).fileName();
    name.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

void RecentFileList::Save() const {
    QSettings settings = UserSettings();
    settings.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < kSize; ++i) {
        if (i < paths_.size()) {
            settings.setValue(EntryKey(i), paths_[i]);
        } else {
            settings.remove(EntryKey(i));
        }
    }
}
