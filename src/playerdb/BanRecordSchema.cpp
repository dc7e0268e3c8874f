#include "BanRecordSchema.h"

#include "PlayerDatabase.h"
#include "SqlConnection.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

using Engine = DatabaseTarget::Engine;

// The first column of a statement's rows, as text.
QStringList FirstColumn(SqlConnection& connection, const char* sql) {
    QSqlQuery query = connection.Prepare(QString::fromLatin1(sql));
    connection.Execute(query);
    QStringList values;
    while (query.next()) {
        values << query.value(0).toString();
    }
    query.finish();
    return values;
}

} // namespace

std::span<const char* const> BanRecordTableStatements(Engine engine) {
    if (engine == Engine::Postgres) {
        return BanRecordSql::kPostgresTable;
    }
    return BanRecordSql::kSqliteTable;
}

std::span<const BanRecordSql::FindIndex> BanRecordFindIndexes(Engine engine) {
    if (engine == Engine::Postgres) {
        return BanRecordSql::kPostgresFindIndexes;
    }
    return BanRecordSql::kSqliteFindIndexes;
}

bool DatabaseObjectExists(SqlConnection& connection, const char* name) {
    QSqlQuery query = connection.Prepare(QString::fromLatin1(
        connection.engine() == Engine::Postgres ? BanRecordSql::kPostgresObjectExists
                                                : BanRecordSql::kSqliteObjectExists));
    query.bindValue(0, QString::fromLatin1(name));
    connection.Execute(query);
    const bool exists = query.next() && query.value(0).toLongLong() > 0;
    query.finish();
    return exists;
}

bool DatabaseColumnExists(SqlConnection& connection, const char* table, const char* column) {
    QSqlQuery query = connection.Prepare(QString::fromLatin1(
        connection.engine() == Engine::Postgres ? BanRecordSql::kPostgresColumnExists
                                                : BanRecordSql::kSqliteColumnExists));
    query.bindValue(0, QString::fromLatin1(table));
    query.bindValue(1, QString::fromLatin1(column));
    connection.Execute(query);
    const bool exists = query.next() && query.value(0).toLongLong() > 0;
    query.finish();
    return exists;
}

void WidenBanRecordActions(SqlConnection& connection) {
    if (DatabaseColumnExists(connection, BanRecordSql::kTable, BanRecordSql::kMinutesColumn)) {
        return;
    }
    if (connection.engine() != Engine::Postgres) {
        const QStringList extras = FirstColumn(connection, BanRecordSql::kSqliteTableExtras);
        for (const char* statement : BanRecordSql::kSqliteWidening) {
            connection.ExecuteText(QString::fromLatin1(statement));
        }
        for (const QString& statement : extras) {
            connection.ExecuteText(statement);
        }
        return;
    }
    for (QString name : FirstColumn(connection, BanRecordSql::kPostgresActionChecks)) {
        connection.ExecuteText(QString::fromLatin1(BanRecordSql::kPostgresDropCheck) +
                               QLatin1Char('"') + name.replace(u'"', QStringLiteral("\"\"")) +
                               QLatin1Char('"'));
    }
    connection.ExecuteText(QString::fromLatin1(BanRecordSql::kPostgresWidening));
}

void AddNameTrigramIndex(SqlConnection& connection, bool installExtension) {
    if (connection.engine() != Engine::Postgres) {
        return;
    }
    const BanRecordSql::FindIndex& index = BanRecordSql::kPostgresTrigramIndex;
    try {
        if (DatabaseObjectExists(connection, index.name)) {
            return;
        }
        if (installExtension) {
            connection.ExecuteText(QString::fromLatin1(BanRecordSql::kTrigramExtension));
        }
        connection.ExecuteText(QString::fromLatin1(index.create));
    } catch (const DatabaseError&) {
        // No extension, or no right to it: names are read row by row.
    }
}
