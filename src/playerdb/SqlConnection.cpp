#include "SqlConnection.h"

#include "PlayerDatabase.h"
#include "PlayerSql.h"

#include <QSqlError>
#include <QUrl>
#include <QUuid>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

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

[[noreturn]] void Throw(const QString& text) {
    throw DatabaseError(text.toStdString());
}

QString NotAPlayerDatabase(const DatabaseTarget& target) {
    return QStringLiteral("The file \"%1\" is not a player database (an SQLite database with "
                          "table GUID or Players); it was left unchanged.")
        .arg(QString::fromStdString(target.file));
}

// The 16 bytes every SQLite database file begins with.
bool StartsAsSqliteDatabase(const std::string& file) {
    static constexpr char kHeader[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                         'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    std::ifstream in(file, std::ios::binary);
    char header[sizeof kHeader] = {};
    in.read(header, sizeof header);
    return in.gcount() == static_cast<std::streamsize>(sizeof header) &&
           std::equal(std::begin(header), std::end(header), std::begin(kHeader));
}

} // namespace

QString DescribeSqlError(const QSqlError& error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("The database engine reported an error without a "
                                           "description.")
                          : text;
}

void SqlConnection::Open(const DatabaseTarget& target, bool newDatabase) {
    Close();
    try {
        if (target.engine == DatabaseTarget::Engine::Postgres) {
            OpenPostgres(target);
        } else {
            OpenSqlite(target, newDatabase);
        }
    } catch (...) {
        Close(); // an open that failed leaves no connection behind
        throw;
    }
}

void SqlConnection::OpenSqlite(const DatabaseTarget& target, bool newDatabase) {
    // Qt's SQLite driver creates a missing file silently; the database must
    // exist, so look first, and open in SQLite's "rw" mode (never create) in
    // case the file goes away between the look and the open.
    std::error_code ec;
    const auto status = std::filesystem::status(target.file, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) {
        Throw(QStringLiteral("Cannot reach the database file \"%1\": %2")
                  .arg(QString::fromStdString(target.file), QString::fromStdString(ec.message())));
    }
    if (!std::filesystem::exists(status)) {
        Throw(QStringLiteral("The database file \"%1\" does not exist.")
                  .arg(QString::fromStdString(target.file)));
    }
    if (std::filesystem::is_directory(status)) {
        Throw(QStringLiteral("The database file \"%1\" is a folder.")
                  .arg(QString::fromStdString(target.file)));
    }
    // SQLite takes an empty file, or one it cannot read, as a new database
    // and would write its header into it; a file that does not start as an
    // SQLite database is left alone.
    if (!newDatabase && !StartsAsSqliteDatabase(target.file)) {
        Throw(NotAPlayerDatabase(target));
    }
    const QString name = NewConnectionName();
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    if (!database.isValid()) {
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        Throw(QStringLiteral("The Qt SQLite driver (QSQLITE) is not available."));
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
        Fail(database_.lastError());
    }
    if (!newDatabase) {
        RequirePlayerTables(target);
    }
    // SQLite reads the file lazily: a file that is no database shows here.
    ExecuteText(QStringLiteral("PRAGMA journal_mode=WAL"));
}

void SqlConnection::RequirePlayerTables(const DatabaseTarget& target) {
    QSqlQuery query = Prepare(QString::fromLatin1(PlayerSql::kSqliteExistingTables));
    Execute(query);
    const long long tables = query.next() ? query.value(0).toLongLong() : 0;
    query.finish();
    // A database holding one of the two tables is a damaged player
    // database: the engine names what is missing when it is first needed.
    if (tables == 0) {
        Throw(NotAPlayerDatabase(target));
    }
}

void SqlConnection::OpenPostgres(const DatabaseTarget& target) {
    const QString name = NewConnectionName();
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (!database.isValid()) {
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        Throw(QStringLiteral("The Qt PostgreSQL driver (QPSQL) is not available."));
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
    database.setConnectOptions(options.join(QLatin1Char(';')));
    name_ = name;
    database_ = database;
    engine_ = DatabaseTarget::Engine::Postgres;
    if (!database_.open()) {
        Fail(database_.lastError());
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

void SqlConnection::Fail(const QSqlError& error) {
    Throw(DescribeSqlError(error));
}

QSqlQuery SqlConnection::Prepare(const QString& sql) {
    QSqlQuery query(database_);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        Fail(query.lastError());
    }
    return query;
}

void SqlConnection::Execute(QSqlQuery& query) {
    if (!query.exec()) {
        Fail(query.lastError());
    }
}

void SqlConnection::ExecuteText(const QString& sql) {
    QSqlQuery query(database_);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        Fail(query.lastError());
    }
}

void SqlConnection::BeginTransaction() {
    if (engine_ == DatabaseTarget::Engine::Sqlite) {
        ExecuteText(QStringLiteral("BEGIN IMMEDIATE"));
        return;
    }
    if (!database_.transaction()) {
        Fail(database_.lastError());
    }
}

void SqlConnection::CommitTransaction() {
    if (engine_ == DatabaseTarget::Engine::Sqlite) {
        ExecuteText(QStringLiteral("COMMIT"));
        return;
    }
    if (!database_.commit()) {
        Fail(database_.lastError());
    }
}

void SqlConnection::RollbackTransaction() {
    if (engine_ == DatabaseTarget::Engine::Sqlite) {
        QSqlQuery query(database_);
        query.exec(QStringLiteral("ROLLBACK"));
        return;
    }
    database_.rollback();
}
