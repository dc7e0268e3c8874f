#pragma once

#include <QString>
#include <QStringList>

// The four most recently opened logs, most recent first, kept in the user's
// settings ("Jor"/"Quarvel", section "Recent File List", entries "File1" to
// "File4"). The list is written back on every change, so it survives however
// the program ends.
class RecentFileList {
public:
    static constexpr int kSize = 4;

    // Reads the list from the settings store; empty entries are skipped.
    void Load();

    // Puts `path` at the head of the list (moving it there when it is already
    // listed; the oldest entry drops off a full list) and saves.
    void Add(const QString& path);
    // Removes entry `index` (0 for the head) and saves. Out-of-range indexes
    // are ignored.
    void Remove(int index);

    const QStringList& paths() const { return paths_; }

    // The File menu's text for entry `index`: "&1 sample.log". Ampersands in the
    // name are doubled so they show instead of making a mnemonic.
    static QString MenuText(int index, const QString& path);

private:
    void Save() const;

    QStringList paths_;
};
