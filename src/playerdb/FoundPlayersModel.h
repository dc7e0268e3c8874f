#pragma once

#include "PlayerLookup.h"

#include <QAbstractTableModel>
#include <map>
#include <string>
#include <vector>

// The players a find matched, one row each, for a table view: GUID, latest
// name, number of names, number of addresses, first and last seen, and the
// ban that holds him off now ("banned until <expiry>", "banned"). The name
// shows without its colour codes; the delegate that paints it with them reads
// kColouredNameRole. kSortRole gives each column's value to sort by (numbers
// as numbers).
class FoundPlayersModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kGuid, kLatestName, kNames, kAddresses, kFirstSeen, kLastSeen, kBan, kColumns };
    static constexpr int kSortRole = Qt::UserRole;
    static constexpr int kColouredNameRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // The players, their ban column empty until SetBanTexts.
    void SetPlayers(std::vector<FoundPlayer> players);
    // The ban column: the text of each GUID (UTF-8, as found) that has one.
    void SetBanTexts(std::map<std::string, QString> texts);
    // The player of a row, or null.
    const FoundPlayer* PlayerAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<FoundPlayer> players_;
    std::vector<QString> colourFreeNames_; // one per player
    std::map<std::string, QString> banTexts_;
};
