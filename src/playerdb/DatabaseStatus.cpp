#include "DatabaseStatus.h"

#include "BanRecordSchema.h"
#include "BanRecordSql.h"
#include "BanStateSql.h"
#include "PlayerSql.h"
#include "SqlConnection.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QVariant>

namespace {

DatabaseTarget TargetOf(const std::string& location) {
    std::string error;
    const auto target = ParseDatabaseTarget(location, error);
    if (!target) {
        throw DatabaseError(error, DatabaseError::Fault::Permanent);
    }
    return *target;
}

long long Count(SqlConnection& connection, const char* sql) {
    QSqlQuery query = connection.Prepare(QString::fromLatin1(sql));
    connection.Execute(query);
    const long long rows = query.next() ? query.value(0).toLongLong() : 0;
    query.finish();
    return rows;
}

} // namespace

DatabaseStatus ReadDatabaseStatus(const std::string& location) {
    SqlConnection connection;
    connection.Open(TargetOf(location), SqlConnection::OpenAs::PlayerDatabaseToLookAt);
    DatabaseStatus status;
    status.schemaVersion = ReadSchemaVersion(connection);
    status.programSchemaVersion = LatestSchemaVersion();
    status.guids = Count(connection, PlayerSql::kCountGuids);
    status.players = Count(connection, PlayerSql::kCountPlayers);
    if (DatabaseObjectExists(connection, BanRecordSql::kTable)) {
        status.banRecords = Count(connection, R"(SELECT COUNT(*) FROM "Ban_Records")");
    }
    if (DatabaseObjectExists(connection, BanStateSql::kTable)) {
        QSqlQuery query =
            connection.Prepare(QStringLiteral(R"(SELECT COUNT(*) FROM "Ban_States" WHERE )") +
                               QString::fromLatin1(BanStateSql::kListActive));
        query.bindValue(0, static_cast<qlonglong>(QDateTime::currentSecsSinceEpoch()));
        connection.Execute(query);
        status.activeBans = query.next() ? query.value(0).toLongLong() : 0;
        query.finish();
    }
    status.history = ReadSchemaHistory(connection);
    status.followers = ReadFollowerPlaces(connection);
    return status;
}

std::vector<std::string> UpgradeDatabase(const std::string& location) {
    SqlConnection connection;
    connection.Open(TargetOf(location));
    return UpgradePlayerSchema(connection);
}
