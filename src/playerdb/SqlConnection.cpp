#include "SqlConnection.h"

#include "PlayerSql.h"
#include "PostgresHandle.h"
#include "SchemaUpgrade.h"
#include "SqlFaults.h"

#include <QSqlError>
#include <QUrl>
#include <QUuid>
#include <array>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

using Fault = DatabaseError::Fault;

// SQLite's "file is not a database".
constexpr int kSqliteNotADatabase = 26;

// What every PostgreSQL connection gets unless the URI says otherwise: a
// connection attempt ends after 10 s; a peer that went away is found within
// about a minute when idle (keepalives) and within 30 s when data waits to be
// acknowledged.
constexpr std::array<std::pair<const char*, const char*>, 7> kPostgresDefaults = {{
    {"connect_timeout", "10"},
    {"keepalives", "1"},
    {"keepalives_idle", "30"},
    {"keepalives_interval", "10"},
    {"keepalives_count", "3"},
    {"tcp_user_timeout", "30000"},
    {"application_name", "quarvel"},
}};

QString NewConnectionName() {
    return QStringLiteral("quarvel-playerdb-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// libpq's connection-string quoting: the value in single quotes, with
// backslashes and quotes escaped by a backslash.
QString ConnInfoValue(const std::string& value) {
    QString quoted = QString::fromStdString(value);
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

[[noreturn]] void Throw(const QString& text, Fault fault) {
    throw DatabaseError(text.toStdString(), fault);
}

QString NotAPlayerDatabase(const DatabaseTarget& target) {
    if (target.engine == DatabaseTarget::Engine::Postgres) {
        return QStringLiteral("The PostgreSQL database is not a player database (it has neither "
                              "table GUID nor table Players); it was left unchanged.");
    }
    return QStringLiteral("The file \"%1\" is not a player database (an SQLite database with "
                          "table GUID or Players); it was left unchanged.")
        .arg(QString::fromStdString(target.file));
}

bool HasOption(const DatabaseTarget& target, std::string_view key) {
    for (const auto& option : target.options) {
        if (option.first == key) {
            return true;
        }
    }
    return false;
}

} // namespace

QString DescribeSqlError(const QSqlError& error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("The database engine reported an error without a "
                                           "description.")
                          : text;
}

void SqlConnection::Open(const DatabaseTarget& target, OpenAs as) {
    Close();
    try {
        if (target.engine == DatabaseTarget::Engine::Postgres) {
            OpenPostgres(target);
            if (as == OpenAs::PlayerDatabase || as == OpenAs::PlayerDatabaseToLookAt) {
                RequirePlayerTables(target);
            }
            if (as == OpenAs::PlayerDatabase) {
                RequireKnownSchema(*this);
            }
        } else {
            OpenSqlite(target, as);
        }
    } catch (...) {
        Close(); // an open that failed leaves no connection behind
        throw;
    }
}

void SqlConnection::OpenSqlite(const DatabaseTarget& target, OpenAs as) {
    // Qt's SQLite driver creates a missing file silently; the database must
    // exist, so look first, and open in SQLite's "rw" mode (never create) in
    // case the file goes away between the look and the open.
    std::error_code ec;
    const auto status = std::filesystem::status(target.file, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) {
        Throw(QStringLiteral("Cannot reach the database file \"%1\": %2")
                  .arg(QString::fromStdString(target.file), QString::fromStdString(ec.message())),
              Fault::Permanent);
    }
    if (!std::filesystem::exists(status)) {
        Throw(QStringLiteral("The database file \"%1\" does not exist.")
                  .arg(QString::fromStdString(target.file)),
              Fault::Permanent);
    }
    if (std::filesystem::is_directory(status)) {
        Throw(QStringLiteral("The database file \"%1\" is a folder.")
                  .arg(QString::fromStdString(target.file)),
              Fault::Permanent);
    }
    const QString name = NewConnectionName();
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    if (!database.isValid()) {
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        Throw(QStringLiteral("The Qt SQLite driver (QSQLITE) is not available."), Fault::Permanent);
    }
    // An absolute path gets an empty authority ("file:///..."), so that a
    // path starting with "//" is not read as a host name.
    const QByteArray path = QUrl::toPercentEncoding(QString::fromStdString(target.file), "/");
    const QString prefix =
        path.startsWith('/') ? QStringLiteral("file://") : QStringLiteral("file:");
    database.setDatabaseName(prefix + QString::fromLatin1(path) + QStringLiteral("?mode=rw"));
    database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    name_ = name;
    database_ = database;
    engine_ = DatabaseTarget::Engine::Sqlite;
    if (!database_.open()) {
        Throw(DescribeSqlError(database_.lastError()), Fault::Permanent);
    }
    // SQLite reads the file lazily, and takes an empty file, or one it cannot
    // read, for a new database that its first write would give a header:
    // whatever is no player database shows in this first look, made through
    // SQLite, before anything is written.
    if (as == OpenAs::PlayerDatabase || as == OpenAs::PlayerDatabaseToLookAt) {
        RequirePlayerTables(target);
    }
    if (as == OpenAs::PlayerDatabase) {
        RequireKnownSchema(*this);
    }
    if (as == OpenAs::PlayerDatabase || as == OpenAs::NewDatabase) {
        ExecuteText(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
}

void SqlConnection::RequirePlayerTables(const DatabaseTarget& target) {
    QSqlQuery query(database_);
    query.setForwardOnly(true);
    BeforeStatement();
    const bool done = query.exec(QString::fromLatin1(engine_ == DatabaseTarget::Engine::Postgres
                                                         ? PlayerSql::kPostgresExistingTables
                                                         : PlayerSql::kSqliteExistingTables));
    const bool timedOut = AfterStatement();
    if (!done) {
        const bool notADatabase =
            engine_ == DatabaseTarget::Engine::Sqlite &&
            (query.lastError().nativeErrorCode().toInt() & 0xFF) == kSqliteNotADatabase;
        if (notADatabase) {
            // The engine's words too: a damaged player database reads so.
            Throw(NotAPlayerDatabase(target) + QStringLiteral(" The engine says: ") +
                      DescribeSqlError(query.lastError()),
                  Fault::Permanent);
        }
        Fail(query.lastError(), timedOut);
    }
    const long long tables = query.next() ? query.value(0).toLongLong() : 0;
    query.finish();
    // A database holding one of the two tables is a damaged player
    // database: the engine names what is missing when it is first needed.
    if (tables == 0) {
        Throw(NotAPlayerDatabase(target), Fault::Permanent);
    }
}

void SqlConnection::OpenPostgres(const DatabaseTarget& target) {
    const QString name = NewConnectionName();
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (!database.isValid()) {
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        Throw(QStringLiteral("The Qt PostgreSQL driver (QPSQL) is not available."),
              Fault::Permanent);
    }
    database.setHostName(QString::fromStdString(target.host));
    database.setPort(target.port);
    database.setUserName(QString::fromStdString(target.user));
    database.setDatabaseName(QString::fromStdString(target.databaseName));
    // No password is set: the client library then takes it from PGPASSWORD
    // or the password file.
    QStringList options;
    for (const auto& [key, value] : target.options) {
        options << QString::fromStdString(key) + QLatin1Char('=') + ConnInfoValue(value);
    }
    for (const auto& [key, value] : kPostgresDefaults) {
        if (!HasOption(target, key)) {
            options << QString::fromLatin1(key) + QLatin1Char('=') +
                           ConnInfoValue(std::string(value));
        }
    }
    database.setConnectOptions(options.join(QLatin1Char(';')));
    name_ = name;
    database_ = database;
    engine_ = DatabaseTarget::Engine::Postgres;
    if (!database_.open()) {
        const QSqlError error = database_.lastError();
        Throw(DescribeSqlError(error), ConnectFault(error));
    }
}

void SqlConnection::Close() {
    if (name_.isEmpty()) {
        return;
    }
    database_.close();
    database_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
    name_.clear();
}

void SqlConnection::BeforeStatement() {
    if (engine_ == DatabaseTarget::Engine::Postgres) {
        const int socket = PostgresSocket(database_);
        if (socket >= 0) {
            deadline_.Arm(socket, statementLimit_);
        }
    }
}

bool SqlConnection::AfterStatement() {
    return engine_ == DatabaseTarget::Engine::Postgres && deadline_.Disarm();
}

void SqlConnection::Fail(const QSqlError& error, bool timedOut) {
    if (timedOut) {
        Throw(QStringLiteral("The player database did not answer within %1 seconds.")
                  .arg(statementLimit_.count() / 1000),
              Fault::Unreachable);
    }
    const bool lost =
        engine_ == DatabaseTarget::Engine::Postgres && PostgresConnectionLost(database_);
    Throw(DescribeSqlError(error), StatementFault(engine_, error, lost));
}

QSqlQuery SqlConnection::Prepare(const QString& sql) {
    QSqlQuery query(database_);
    query.setForwardOnly(true);
    BeforeStatement();
    const bool prepared = query.prepare(sql);
    const bool timedOut = AfterStatement();
    if (!prepared) {
        Fail(query.lastError(), timedOut);
    }
    return query;
}

void SqlConnection::Execute(QSqlQuery& query) {
    BeforeStatement();
    const bool done = query.exec();
    const bool timedOut = AfterStatement();
    if (!done) {
        Fail(query.lastError(), timedOut);
    }
}

void SqlConnection::ExecuteText(const QString& sql) {
    QSqlQuery query(database_);
    query.setForwardOnly(true);
    BeforeStatement();
    const bool done = query.exec(sql);
    const bool timedOut = AfterStatement();
    if (!done) {
        Fail(query.lastError(), timedOut);
    }
}

void SqlConnection::BeginTransaction() {
    if (engine_ == DatabaseTarget::Engine::Sqlite) {
        ExecuteText(QStringLiteral("BEGIN IMMEDIATE"));
        return;
    }
    BeforeStatement();
    const bool begun = database_.transaction();
    const bool timedOut = AfterStatement();
    if (!begun) {
        Fail(database_.lastError(), timedOut);
    }
}

void SqlConnection::CommitTransaction() {
    if (engine_ == DatabaseTarget::Engine::Sqlite) {
        ExecuteText(QStringLiteral("COMMIT"));
        return;
    }
    BeforeStatement();
    const bool committed = database_.commit();
    const bool timedOut = AfterStatement();
    if (!committed) {
        Fail(database_.lastError(), timedOut);
    }
}

void SqlConnection::RollbackTransaction() {
    if (!isOpen()) {
        return;
    }
    BeforeStatement();
    if (engine_ == DatabaseTarget::Engine::Sqlite) {
        QSqlQuery query(database_);
        query.exec(QStringLiteral("ROLLBACK"));
    } else {
        database_.rollback();
    }
    AfterStatement();
}
