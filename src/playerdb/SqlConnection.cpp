#include "SqlConnection.h"

#include "PlayerDatabase.h"

#include <QSqlError>
#include <QUrl>
#include <QUuid>
#include <filesystem>
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

} // namespace

QString DescribeSqlError(const QSqlError& error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("The database engine reported an error without a "
                                           "description.")
                          : text;
}

void SqlConnection::Open(const DatabaseTarget& target) {
    Close();
    try {
        if (target.engine == DatabaseTarget::Engine::Postgres) {
            OpenPostgres(target);
        } else {
            OpenSqlite(target);
        }
    } catch (...) {
        Close(); // an open that failed leaves no connection behind
        throw;
    }
}

void SqlConnection::OpenSqlite(const DatabaseTarget& target) {
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
    // SQLite reads the file lazily: a file that is no database shows here.
    ExecuteText(QStringLiteral("PRAGMA journal_mode=WAL"));
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
    if (!database_.transaction()) {
        Fail(database_.lastError());
    }
}

void SqlConnection::CommitTransaction() {
    if (!database_.commit()) {
        Fail(database_.lastError());
    }
}

void SqlConnection::RollbackTransaction() {
    database_.rollback();
}
