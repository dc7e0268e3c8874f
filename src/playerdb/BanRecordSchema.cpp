#include "BanRecordSchema.h"

#include "BanRecordSql.h"
#include "PlayerDatabase.h"
#include "SqlConnection.h"

#include <QSqlQuery>
#include <span>

namespace {

using Engine = DatabaseTarget::Engine;

std::span<const char* const> TableStatements(Engine engine) {
    if (engine == Engine::Postgres) {
        return BanRecordSql::kPostgresTable;
    }
    return BanRecordSql::kSqliteTable;
}

std::span<const BanRecordSql::FindIndex> FindIndexes(Engine engine) {
    if (engine == Engine::Postgres) {
        return BanRecordSql::kPostgresFindIndexes;
    }
    return BanRecordSql::kSqliteFindIndexes;
}

void CreateTable(SqlConnection& connection) {
    connection.BeginTransaction();
    try {
        for (const char* statement : TableStatements(connection.engine())) {
            connection.ExecuteText(QString::fromLatin1(statement));
        }
        connection.CommitTransaction();
    } catch (const DatabaseError&) {
        connection.RollbackTransaction();
        throw;
    }
}

} // namespace

std::vector<const char*> BanRecordSchemaStatements(DatabaseTarget::Engine engine) {
    const auto table = TableStatements(engine);
    std::vector<const char*> statements(table.begin(), table.end());
    for (const BanRecordSql::FindIndex& index : FindIndexes(engine)) {
        statements.push_back(index.create);
    }
    return statements;
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

void UpgradeForBanRecords(SqlConnection& connection) {
    if (!DatabaseObjectExists(connection, BanRecordSql::kTable)) {
        try {
            CreateTable(connection);
        } catch (const DatabaseError&) {
            // Another admin's program may have made it meanwhile.
            if (!DatabaseObjectExists(connection, BanRecordSql::kTable)) {
                throw;
            }
        }
    }
    for (const BanRecordSql::FindIndex& index : FindIndexes(connection.engine())) {
        try {
            if (!DatabaseObjectExists(connection, index.name)) {
                connection.ExecuteText(QString::fromLatin1(index.create));
            }
        } catch (const DatabaseError&) {
            // Only slower finds without it; the next upgrade tries again.
        }
    }
    AddNameTrigramIndex(connection, false);
}
