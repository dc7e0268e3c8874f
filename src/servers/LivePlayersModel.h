#pragma once

#include "ServerSnapshot.h"

#include <QAbstractTableModel>
#include <vector>

// The players one server showed at its last answer, one row each, for the
// Servers panel's table: slot, name, score, ping, address, GUID, and the ban
// that holds the GUID off now ("banned until <expiry>", "banned"). A new
// answer is merged in by slot, so that a row that stays keeps its place and
// selection: a player gone is removed, one come is inserted, one whose data
// changed (a rename, a new score) is updated in place.
//
// The name shows without its colour codes; the delegate that paints it with
// them reads kColouredNameRole. The GUID column says where the GUID came from
// ("(log)", "(database)", "(userinfo)", "(status)").
class LivePlayersModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kSlot, kName, kScore, kPing, kAddress, kGuid, kBan, kColumns };
    static constexpr int kColouredNameRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // Players by slot, as StatusQuery gives them (any order: sorted here).
    void SetPlayers(std::vector<LivePlayer> players);
    void Clear() { SetPlayers({}); }
    const std::vector<LivePlayer>& players() const { return players_; }
    // The player of a row, or null.
    const LivePlayer* PlayerAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<LivePlayer> players_; // by slot
};

// What the ping column shows: the number, or "connecting" / "zombie".
QString PingText(const StatusPlayer& player);
// What the GUID column shows: "<guid> (<from>)", or empty when unknown.
QString GuidText(const KnownGuid& guid);
