#include "FoundPlayersModel.h"

#include "DatabaseText.h"
#include "VisibleText.h"
#include "Windows1252.h"

namespace {

QString FoundUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// The name as the game shows it: the codes are taken out of the log's bytes,
// where a code is a caret and the one byte after it.
QString ColourFree(const std::string& utf8) {
    std::string buffer;
    return LogBytesToDatabaseText(CopyVisibleText(Utf8ToWindows1252(utf8), buffer));
}

} // namespace

void FoundPlayersModel::SetPlayers(std::vector<FoundPlayer> players) {
    beginResetModel();
    players_ = std::move(players);
    banTexts_.clear();
    colourFreeNames_.clear();
    colourFreeNames_.reserve(players_.size());
    for (const FoundPlayer& player : players_) {
        colourFreeNames_.push_back(ColourFree(player.latestName));
    }
    endResetModel();
}

void FoundPlayersModel::SetBanTexts(std::map<std::string, QString> texts) {
    banTexts_ = std::move(texts);
    if (!players_.empty()) {
        emit dataChanged(index(0, kBan), index(rowCount() - 1, kBan));
    }
}

const FoundPlayer* FoundPlayersModel::PlayerAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= players_.size()) {
        return nullptr;
    }
    return &players_[static_cast<std::size_t>(row)];
}

int FoundPlayersModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(players_.size());
}

int FoundPlayersModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant FoundPlayersModel::data(const QModelIndex& index, int role) const {
    const FoundPlayer* player = PlayerAt(index.row());
    if (player == nullptr || index.column() < 0 || index.column() >= kColumns) {
        return {};
    }
    const std::size_t row = static_cast<std::size_t>(index.row());
    if (role == kColouredNameRole) {
        return index.column() == kLatestName ? QVariant(FoundUtf8(player->latestName)) : QVariant();
    }
    if (role == Qt::ToolTipRole && index.column() == kLatestName) {
        return FoundUtf8(player->latestName); // with the codes, as the log writes it
    }
    if (role != Qt::DisplayRole && role != kSortRole) {
        return {};
    }
    switch (index.column()) {
    case kGuid:
        return FoundUtf8(player->guid);
    case kLatestName:
        // Sorted by what it shows, whatever the case.
        return role == kSortRole ? QVariant(colourFreeNames_[row].toCaseFolded())
                                 : QVariant(colourFreeNames_[row]);
    case kNames:
        return static_cast<int>(player->names.size());
    case kAddresses:
        return static_cast<int>(player->addresses.size());
    case kFirstSeen:
        return FoundUtf8(player->firstSeen);
    case kLastSeen:
        return FoundUtf8(player->lastSeen);
    case kBan: {
        const auto text = banTexts_.find(player->guid);
        return text != banTexts_.end() ? text->second : QString();
    }
    default:
        return {};
    }
}

QVariant FoundPlayersModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kTitles[kColumns] = {"GUID",       "Latest name", "Names", "Addresses",
                                                  "First seen", "Last seen",   "Ban"};
    return section >= 0 && section < kColumns ? QVariant(QString::fromLatin1(kTitles[section]))
                                              : QVariant();
}
