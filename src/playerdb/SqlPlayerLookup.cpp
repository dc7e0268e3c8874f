#include "SqlPlayerLookup.h"

#include "BanRecordSchema.h"
#include "BanRecordSql.h"
#include "PlayerDatabase.h"
#include "PlayerFindSql.h"

#include <QDate>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <limits>
#include <map>
#include <set>

namespace {

// Large enough to be no limit, small enough for every engine's LIMIT.
constexpr long long kNoLimit = std::numeric_limits<std::int32_t>::max();

std::string Text(const QVariant& value) {
    return value.toString().toStdString();
}

// A date as "YYYY-MM-DD": PostgreSQL hands a date, SQLite the text it holds.
std::string DateText(const QVariant& value) {
    if (value.metaType().id() == QMetaType::QDate) {
        return value.toDate().toString(Qt::ISODate).toStdString();
    }
    return value.toString().left(10).toStdString();
}

// A GUID's rows gathered into what a find shows of it.
struct Gathered {
    FoundPlayer player;
    long long newestRow = std::numeric_limits<long long>::min();
    std::set<std::string> names;
    std::set<std::string> addresses;
};

bool ShownBefore(const FoundPlayer& a, const FoundPlayer& b) {
    if (a.lastSeen != b.lastSeen) {
        return a.lastSeen > b.lastSeen;
    }
    return a.guid < b.guid;
}

} // namespace

PlayerQueryRunner::LookupFactory SqlLookups(std::string location) {
    return [location = std::move(location)]() -> std::unique_ptr<PlayerLookup> {
        return std::make_unique<SqlPlayerLookup>(location);
    };
}

SqlPlayerLookup::SqlPlayerLookup(std::string location) : location_(std::move(location)) {}

void SqlPlayerLookup::Open() {
    std::string error;
    const auto target = ParseDatabaseTarget(location_, error);
    if (!target) {
        throw DatabaseError(error);
    }
    connection_.Open(*target);
}

void SqlPlayerLookup::Close() {
    connection_.Close();
}

PlayerFindResult SqlPlayerLookup::FindPlayers(const PlayerSearch& search, int limit) {
    // One GUID more than asked for tells whether the list was cut.
    const long long wanted = limit < 0 ? kNoLimit : static_cast<long long>(limit) + 1;
    const BoundStatement statement = FindPlayersStatement(search, connection_.engine(), wanted);
    std::map<long long, Gathered> byKey;
    {
        QSqlQuery query = connection_.Prepare(statement.sql);
        for (int i = 0; i < statement.values.size(); ++i) {
            query.bindValue(i, statement.values[i]);
        }
        connection_.Execute(query);
        while (query.next()) {
            Gathered& gathered = byKey[query.value(0).toLongLong()];
            FoundPlayer& player = gathered.player;
            const std::string date = DateText(query.value(6));
            if (player.sightings++ == 0) {
                player.guid = Text(query.value(1));
                player.firstSeen = player.lastSeen = date;
            } else {
                player.firstSeen = std::min(player.firstSeen, date);
                player.lastSeen = std::max(player.lastSeen, date);
            }
            const long long row = query.value(2).toLongLong();
            const std::string address = Text(query.value(3));
            if (row > gathered.newestRow) {
                // Rows are numbered as they are stored: the highest is the
                // latest sighting.
                gathered.newestRow = row;
                player.latestAddress = address;
                player.latestName = Text(query.value(5));
            }
            gathered.addresses.insert(address);
            gathered.names.insert(Text(query.value(4)));
        }
    }
    PlayerFindResult result;
    result.players.reserve(byKey.size());
    for (auto& [key, gathered] : byKey) {
        FoundPlayer& player = gathered.player;
        player.names.assign(gathered.names.begin(), gathered.names.end());
        player.addresses.assign(gathered.addresses.begin(), gathered.addresses.end());
        result.players.push_back(std::move(player));
    }
    std::sort(result.players.begin(), result.players.end(), ShownBefore);
    if (limit >= 0 && result.players.size() > static_cast<std::size_t>(limit)) {
        result.players.resize(static_cast<std::size_t>(limit));
        result.cut = true;
    }
    return result;
}

std::vector<BanRecord> SqlPlayerLookup::BanHistory(std::string_view guid, int limit) {
    std::vector<BanRecord> records;
    if (!DatabaseObjectExists(connection_, BanRecordSql::kTable)) {
        return records; // a database from before ban records
    }
    QString sql = QString::fromLatin1(
        DatabaseColumnExists(connection_, BanRecordSql::kTable, BanRecordSql::kMinutesColumn)
            ? BanRecordSql::kHistoryColumns
            : BanRecordSql::kHistoryColumnsBeforeMinutes);
    if (!guid.empty()) {
        sql += QString::fromLatin1(BanRecordSql::kHistoryOfGuid);
    }
    sql += QString::fromLatin1(BanRecordSql::kHistoryOrder);
    QSqlQuery query = connection_.Prepare(sql);
    int next = 0;
    if (!guid.empty()) {
        const QString given = QString::fromUtf8(guid.data(), static_cast<qsizetype>(guid.size()));
        query.bindValue(next++, given);
        query.bindValue(next++, given.toUpper());
        query.bindValue(next++, given.toLower());
    }
    query.bindValue(next, static_cast<qlonglong>(limit < 0 ? kNoLimit : limit));
    connection_.Execute(query);
    while (query.next()) {
        const QVariant minutes = query.value(9);
        records.push_back(
            BanRecord{Text(query.value(0)), Text(query.value(1)), Text(query.value(2)),
                      Text(query.value(3)), Text(query.value(4)), Text(query.value(5)),
                      Text(query.value(6)), Text(query.value(7)), Text(query.value(8)),
                      minutes.isNull() ? std::nullopt : std::optional<int>(minutes.toInt())});
    }
    return records;
}
