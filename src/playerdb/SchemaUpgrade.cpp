#include "SchemaUpgrade.h"

#include "BanRecordSchema.h"
#include "PlayerDatabase.h"
#include "SchemaSql.h"
#include "SchemaSteps.h"
#include "SqlConnection.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QVariant>
#include <chrono>
#include <thread>

namespace {

using Engine = DatabaseTarget::Engine;
using Fault = DatabaseError::Fault;

// Upgrade steps build indexes over whole tables: they get more time than a
// harvest's statements.
constexpr std::chrono::minutes kStepLimit{30};
// How often a step that met another writer's lock is tried.
constexpr int kStepAttempts = 20;

QString Now() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}

void AddVersion(SqlConnection& connection, int version, const std::string& note) {
    QSqlQuery query = connection.Prepare(QString::fromLatin1(SchemaSql::kAddVersion));
    query.bindValue(0, version);
    query.bindValue(1, Now());
    query.bindValue(2, QString::fromStdString(note));
    connection.Execute(query);
    query.finish();
}

std::string NoteOf(const SchemaStep& step, const std::string& said) {
    return said.empty() ? std::string(step.title) : std::string(step.title) + ": " + said;
}

// Makes the version table where it is missing, recording the version the
// database had without it, and returns the version. Inside a transaction
// that holds the upgrade's lock.
int VersionTableMade(SqlConnection& connection) {
    const bool existed = DatabaseObjectExists(connection, SchemaSql::kVersionTable);
    if (!existed) {
        connection.ExecuteText(QString::fromLatin1(connection.engine() == Engine::Postgres
                                                       ? SchemaSql::kPostgresVersionTable
                                                       : SchemaSql::kSqliteVersionTable));
        AddVersion(connection, 0, "found without a version");
        return 0;
    }
    return ReadSchemaVersion(connection);
}

class StepLimit {
public:
    explicit StepLimit(SqlConnection& connection)
        : connection_(connection), before_(connection.statementLimit()) {
        connection_.SetStatementLimit(kStepLimit);
    }
    ~StepLimit() { connection_.SetStatementLimit(before_); }
    StepLimit(const StepLimit&) = delete;
    StepLimit& operator=(const StepLimit&) = delete;

private:
    SqlConnection& connection_;
    std::chrono::milliseconds before_;
};

// Takes one step unless another program took it first. True when taken
// here; `said` then holds its note.
bool TakeStep(SqlConnection& connection, const SchemaStep& step, std::string& said) {
    connection.BeginTransaction(); // SQLite: the write lock, held to the end
    try {
        if (connection.engine() == Engine::Postgres) {
            connection.ExecuteText(QString::fromLatin1(SchemaSql::kPostgresUpgradeLock));
        }
        const int version = VersionTableMade(connection);
        if (version >= step.version) {
            connection.CommitTransaction();
            return false;
        }
        said = NoteOf(step, step.apply(connection));
        AddVersion(connection, step.version, said);
        connection.CommitTransaction();
        return true;
    } catch (...) {
        connection.RollbackTransaction();
        throw;
    }
}

} // namespace

int LatestSchemaVersion() {
    return SchemaSteps().back().version;
}

int ReadSchemaVersion(SqlConnection& connection) {
    if (!DatabaseObjectExists(connection, SchemaSql::kVersionTable)) {
        return 0;
    }
    QSqlQuery query = connection.Prepare(QString::fromLatin1(SchemaSql::kReadVersion));
    connection.Execute(query);
    const int version = query.next() ? query.value(0).toInt() : 0;
    query.finish();
    return version;
}

void RequireKnownSchema(SqlConnection& connection) {
    const int version = ReadSchemaVersion(connection);
    if (version > LatestSchemaVersion()) {
        throw DatabaseError("The player database is of schema version " + std::to_string(version) +
                                ", newer than this program knows (up to " +
                                std::to_string(LatestSchemaVersion()) +
                                "): a newer Quarvel upgraded it. Update Quarvel to use it; the "
                                "database was left unchanged.",
                            Fault::Permanent);
    }
}

std::vector<std::string> UpgradePlayerSchema(SqlConnection& connection) {
    std::vector<std::string> said;
    if (ReadSchemaVersion(connection) < LatestSchemaVersion()) {
        const StepLimit limit(connection);
        for (const SchemaStep& step : SchemaSteps()) {
            for (int attempt = 1;; ++attempt) {
                try {
                    std::string note;
                    if (TakeStep(connection, step, note)) {
                        said.push_back("player database upgraded to version " +
                                       std::to_string(step.version) + " (" + note + ")");
                    }
                    break;
                } catch (const DatabaseError& error) {
                    if (error.fault() != Fault::Conflict || attempt == kStepAttempts) {
                        throw;
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50 * attempt));
            }
        }
        RequireKnownSchema(connection); // a newer program may have come first
    }
    // Where pg_trgm has been installed since, the finds get its index.
    AddNameTrigramIndex(connection, false);
    return said;
}

void ApplyEverySchemaStep(SqlConnection& connection) {
    connection.ExecuteText(QString::fromLatin1(connection.engine() == Engine::Postgres
                                                   ? SchemaSql::kPostgresVersionTable
                                                   : SchemaSql::kSqliteVersionTable));
    AddVersion(connection, 0, "made by init-db");
    for (const SchemaStep& step : SchemaSteps()) {
        AddVersion(connection, step.version, NoteOf(step, step.apply(connection)));
    }
}

std::vector<SchemaHistoryEntry> ReadSchemaHistory(SqlConnection& connection) {
    std::vector<SchemaHistoryEntry> history;
    if (!DatabaseObjectExists(connection, SchemaSql::kVersionTable)) {
        return history;
    }
    QSqlQuery query = connection.Prepare(QString::fromLatin1(SchemaSql::kHistory));
    connection.Execute(query);
    while (query.next()) {
        history.push_back({query.value(0).toInt(), query.value(1).toString().toStdString(),
                           query.value(2).toString().toStdString()});
    }
    query.finish();
    return history;
}
