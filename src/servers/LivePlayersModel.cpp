#include "LivePlayersModel.h"

#include "LogText.h"
#include "VisibleText.h"

#include <algorithm>

QString PingText(const StatusPlayer& player) {
    switch (player.state) {
    case PingState::Connecting:
        return QStringLiteral("connecting");
    case PingState::Zombie:
        return QStringLiteral("zombie");
    case PingState::Playing:
        break;
    }
    return QString::number(player.ping);
}

QString GuidText(const KnownGuid& guid) {
    if (guid.from == GuidFrom::None) {
        return {};
    }
    return QString::fromStdString(guid.guid) + QStringLiteral(" (") +
           QString::fromUtf8(GuidFromName(guid.from).data(),
                             static_cast<qsizetype>(GuidFromName(guid.from).size())) +
           QStringLiteral(")");
}

void LivePlayersModel::SetPlayers(std::vector<LivePlayer> players) {
    std::stable_sort(players.begin(), players.end(), [](const LivePlayer& a, const LivePlayer& b) {
        return a.status.slot < b.status.slot;
    });
    // One walk over both lists by slot: rows before `row` are settled.
    int row = 0;
    std::size_t next = 0;
    while (static_cast<std::size_t>(row) < players_.size() || next < players.size()) {
        const bool haveOld = static_cast<std::size_t>(row) < players_.size();
        const bool haveNew = next < players.size();
        const int oldSlot = haveOld ? players_[static_cast<std::size_t>(row)].status.slot : 0;
        const int newSlot = haveNew ? players[next].status.slot : 0;
        if (haveOld && (!haveNew || oldSlot < newSlot)) {
            beginRemoveRows({}, row, row);
            players_.erase(players_.begin() + row);
            endRemoveRows();
        } else if (haveNew && (!haveOld || newSlot < oldSlot)) {
            beginInsertRows({}, row, row);
            players_.insert(players_.begin() + row, std::move(players[next++]));
            endInsertRows();
            ++row;
        } else {
            LivePlayer& kept = players_[static_cast<std::size_t>(row)];
            if (!(kept == players[next])) {
                kept = std::move(players[next]);
                emit dataChanged(index(row, 0), index(row, kColumns - 1));
            }
            ++next;
            ++row;
        }
    }
}

const LivePlayer* LivePlayersModel::PlayerAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= players_.size()) {
        return nullptr;
    }
    return &players_[static_cast<std::size_t>(row)];
}

int LivePlayersModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(players_.size());
}

int LivePlayersModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant LivePlayersModel::data(const QModelIndex& index, int role) const {
    const LivePlayer* live = index.isValid() ? PlayerAt(index.row()) : nullptr;
    if (live == nullptr) {
        return {};
    }
    const StatusPlayer& player = live->status;
    if (role == kColouredNameRole && index.column() == kName) {
        return LogTextToQString(player.name);
    }
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == kSlot || index.column() == kScore ||
                            (index.column() == kPing && player.state == PingState::Playing);
        return number ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
    case kSlot:
        return player.slot;
    case kName: {
        std::string plain;
        AppendVisibleText(player.name, plain);
        return LogTextToQString(plain);
    }
    case kScore:
        return player.score;
    case kPing:
        return PingText(player);
    case kAddress:
        return LogTextToQString(player.address);
    case kGuid:
        return GuidText(live->guid);
    case kBan:
        return QString::fromStdString(live->guid.ban);
    default:
        return {};
    }
}

QVariant LivePlayersModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kTitles[kColumns] = {"Slot",    "Name", "Score", "Ping",
                                                  "Address", "GUID", "Ban"};
    return section >= 0 && section < kColumns ? QVariant(QString::fromLatin1(kTitles[section]))
                                              : QVariant();
}
