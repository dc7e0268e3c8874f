#include "BanRecordSchema.h"

#include "PlayerDatabase.h"
#include "SqlConnection.h"

#include <QSqlQuery>

namespace {

using Engine = DatabaseTarget::Engine;

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
