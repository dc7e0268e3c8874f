#include "SqlPlayerDatabase.h"

#include "DatabaseText.h"
#include "FollowerPlaces.h"
#include "PlayerSql.h"
#include "SchemaSql.h"
#include "SchemaUpgrade.h"

#include <QDate>
#include <QVariant>
#include <limits>
#include <utility>

namespace {

QVariant DateValue(std::chrono::year_month_day date, DatabaseTarget::Engine engine) {
    // PostgreSQL takes a real date. Qt's SQLite driver would write a QDate
    // in its own text form, so SQLite gets the ISO text explicitly.
    if (engine == DatabaseTarget::Engine::Postgres) {
        return QDate(static_cast<int>(date.year()), static_cast<int>(unsigned(date.month())),
                     static_cast<int>(unsigned(date.day())));
    }
    return QString::fromStdString(IsoDate(date));
}

} // namespace

SqlPlayerDatabase::SqlPlayerDatabase(std::string location, DateSource today)
    : location_(std::move(location)), today_(std::move(today)) {}

SqlPlayerDatabase::~SqlPlayerDatabase() {
    try {
        Close();
    } catch (const DatabaseError&) {
        // Nobody is left to tell; callers who care call Close themselves.
    }
}

void SqlPlayerDatabase::Open() {
    Close();
    std::string error;
    const auto target = ParseDatabaseTarget(location_, error);
    if (!target) {
        throw DatabaseError(error);
    }
    connection_.Open(*target);
}

void SqlPlayerDatabase::Close() {
    if (!connection_.isOpen()) {
        return;
    }
    if (inStep_) {
        try {
            CommitStep();
        } catch (const DatabaseError&) {
            CloseConnection();
            throw;
        }
    }
    CloseConnection();
}

void SqlPlayerDatabase::CloseConnection() {
    // Qt wants every query of a connection gone before the connection.
    statements_ = Statements{};
    inStep_ = false;
    upgraded_ = false;
    connection_.Close();
}

bool SqlPlayerDatabase::keepsSavepoints() const {
    return inStep_ && connection_.engine() == DatabaseTarget::Engine::Postgres;
}

QSqlQuery& SqlPlayerDatabase::Statement(std::optional<QSqlQuery>& slot, const char* sql) {
    if (!connection_.isOpen()) {
        throw DatabaseError("The player database is not open.");
    }
    if (!slot) {
        // On PostgreSQL a failing prepare also spoils the step's transaction.
        try {
            slot = connection_.Prepare(QString::fromLatin1(sql));
        } catch (const DatabaseError&) {
            RestoreLastWrite();
            throw;
        }
    }
    return *slot;
}

void SqlPlayerDatabase::RestoreLastWrite() {
    if (!keepsSavepoints()) {
        return; // SQLite undoes only the failed statement by itself
    }
    try {
        connection_.ExecuteText(QString::fromLatin1(PlayerSql::kRollbackToSavepoint));
    } catch (const DatabaseError&) {
        // The commit will then fail and say so; the first failure is the
        // one to report now.
    }
}

void SqlPlayerDatabase::Run(QSqlQuery& query, bool writes) {
    try {
        connection_.Execute(query);
    } catch (const DatabaseError& error) {
        query.finish();
        // A conflict or a lost connection gives the whole step up anyway.
        if (error.fault() == DatabaseError::Fault::Failed) {
            RestoreLastWrite();
        }
        throw;
    }
    if (writes && keepsSavepoints()) {
        connection_.ExecuteText(QString::fromLatin1(PlayerSql::kReleaseSavepoint));
        connection_.ExecuteText(QString::fromLatin1(PlayerSql::kSavepoint));
    }
}

std::int32_t SqlPlayerDatabase::Count(std::optional<QSqlQuery>& slot, const char* sql) {
    QSqlQuery& query = Statement(slot, sql);
    Run(query, false);
    const long long rows = query.next() ? query.value(0).toLongLong() : 0;
    query.finish();
    return static_cast<std::int32_t>(
        std::min<long long>(rows, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t SqlPlayerDatabase::CountGuids() {
    return Count(statements_.countGuids, PlayerSql::kCountGuids);
}

std::int32_t SqlPlayerDatabase::CountPlayers() {
    return Count(statements_.countPlayers, PlayerSql::kCountPlayers);
}

std::optional<std::int32_t> SqlPlayerDatabase::FindGuid(std::string_view guid) {
    QSqlQuery& query = Statement(statements_.findGuid, PlayerSql::kFindGuid);
    query.bindValue(0, LogBytesToDatabaseText(guid));
    Run(query, false);
    std::optional<std::int32_t> key;
    if (query.next()) {
        key = query.value(0).toInt();
    }
    query.finish(); // an SQLite statement left running would hold its read lock
    return key;
}

std::optional<std::int32_t> SqlPlayerDatabase::InsertGuid(std::string_view guid) {
    QSqlQuery& query = Statement(statements_.addGuid, PlayerSql::kAddGuid);
    query.bindValue(0, LogBytesToDatabaseText(guid));
    Run(query, true);
    std::optional<std::int32_t> key;
    if (query.next()) {
        key = query.value(0).toInt();
    }
    query.finish();
    return key;
}

bool SqlPlayerDatabase::SightingExists(std::int32_t guidKey, std::string_view ipFull,
                                       std::string_view nameFormatted) {
    QSqlQuery& query = Statement(statements_.sightingExists, PlayerSql::kSightingExists);
    query.bindValue(0, guidKey);
    query.bindValue(1, LogBytesToDatabaseText(ipFull));
    query.bindValue(2, LogBytesToDatabaseText(nameFormatted));
    Run(query, false);
    const bool found = query.next();
    query.finish();
    return found;
}

bool SqlPlayerDatabase::InsertSighting(const PlayerSighting& sighting) {
    QSqlQuery& query = Statement(statements_.insertSighting, PlayerSql::kInsertSighting);
    const QVariant today = DateValue(today_(), connection_.engine());
    query.bindValue(0, sighting.guidKey);
    for (int part = 0; part < 4; ++part) {
        query.bindValue(1 + part, LogBytesToDatabaseText(sighting.ipParts[part]));
    }
    query.bindValue(5, LogBytesToDatabaseText(sighting.ipFull));
    query.bindValue(6, LogBytesToDatabaseText(sighting.nameFormatted));
    query.bindValue(7, LogBytesToDatabaseText(sighting.nameRaw));
    query.bindValue(8, today);
    query.bindValue(9, today);
    Run(query, true);
    const bool stored = query.numRowsAffected() > 0;
    query.finish();
    return stored;
}

std::vector<std::string> SqlPlayerDatabase::FormattedNames(std::int32_t guidKey) {
    QSqlQuery& query = Statement(statements_.formattedNames, PlayerSql::kFormattedNames);
    query.bindValue(0, guidKey);
    Run(query, false);
    std::vector<std::string> names;
    while (query.next()) {
        names.push_back(query.value(0).toString().toStdString());
    }
    query.finish();
    return names;
}

void SqlPlayerDatabase::BeginStep() {
    if (!connection_.isOpen()) {
        throw DatabaseError("The player database is not open.");
    }
    if (inStep_) {
        CommitStep();
    }
    if (!upgraded_) {
        for (const std::string& note : UpgradePlayerSchema(connection_)) {
            if (notices_) {
                notices_(note);
            }
        }
        upgraded_ = true;
    }
    connection_.BeginTransaction();
    inStep_ = true;
    if (connection_.engine() == DatabaseTarget::Engine::Postgres) {
        try {
            connection_.ExecuteText(QString::fromLatin1(PlayerSql::kPostgresStepLock));
            connection_.ExecuteText(QString::fromLatin1(PlayerSql::kSavepoint));
        } catch (const DatabaseError&) {
            inStep_ = false;
            connection_.RollbackTransaction();
            throw;
        }
    }
}

void SqlPlayerDatabase::CommitStep() {
    if (!inStep_) {
        return;
    }
    inStep_ = false;
    try {
        connection_.CommitTransaction();
    } catch (const DatabaseError&) {
        // Leave no transaction half open behind the error, or the next step
        // could not begin.
        connection_.RollbackTransaction();
        throw;
    }
}

void SqlPlayerDatabase::RollbackStep() {
    if (!inStep_) {
        return;
    }
    inStep_ = false;
    connection_.RollbackTransaction();
}

void SqlPlayerDatabase::StorePlace(const FollowerPlace& place) {
    QSqlQuery& query = Statement(statements_.storePlace, SchemaSql::kStorePlace);
    BindPlace(query, place);
    Run(query, true);
    query.finish();
}

std::optional<FollowerPlace> SqlPlayerDatabase::LoadPlace(const FollowerKey& key) {
    if (!connection_.isOpen()) {
        throw DatabaseError("The player database is not open.");
    }
    const auto stored = ReadFollowerPlace(connection_, key);
    if (!stored || !stored->slotsReadable) {
        return std::nullopt; // a place that cannot be read is no place
    }
    return stored->place;
}
