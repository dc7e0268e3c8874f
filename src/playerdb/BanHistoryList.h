#pragma once

#include "PlayerQueryRunner.h"

#include <QListWidget>
#include <string>

// A GUID's ban history, newest first, one line a record, read off the
// user-interface thread. While the records are on their way the list shows
// "Reading the ban history..."; a GUID without records shows that none are
// kept, a database that cannot be read shows why.
class BanHistoryList : public QListWidget {
    Q_OBJECT

public:
    BanHistoryList(PlayerQueryRunner::LookupFactory lookups, QWidget* parent);

    // Reads and shows the history of `guid` (UTF-8); an empty GUID shows an
    // empty list.
    void ShowHistory(const std::string& guid);
    // Where later histories are read from.
    void SetLookups(PlayerQueryRunner::LookupFactory lookups);
    // Reads the history shown last once more: after a ban or unban.
    void Refresh();
    void Clear();

    bool busy() const { return runner_->busy(); }
    const std::string& guid() const { return guid_; }

signals:
    void busyChanged(bool busy);

private:
    void ShowNote(const QString& text);

    PlayerQueryRunner* runner_ = nullptr;
    std::string guid_;
};

inline constexpr char kReadingHistoryText[] = "Reading the ban history...";
inline constexpr char kNoHistoryText[] = "No ban or unban of this GUID is recorded.";
