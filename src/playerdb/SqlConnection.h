#pragma once

#include "DatabaseTarget.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

class QSqlError;

// One open connection to the player database through Qt SQL: QSQLITE for a
// file, QPSQL for a postgresql:// URI. Each connection has a name of its own,
// removed from Qt's registry again on Close, so lookups and runs never share
// or leak one. Failures raise DatabaseError with the engine's description.
class SqlConnection {
public:
    SqlConnection() = default;
    ~SqlConnection() { Close(); }
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    // Opens an existing database; an SQLite file that is not there is an
    // error, never a new empty file. SQLite files are switched to the WAL
    // journal so that a lookup can read while a harvest writes; before that
    // (which writes to the file) the file must be a player database already
    // (an SQLite file with table GUID or Players), or it is left as it was
    // and the open fails. Only init-db opens its own new empty file, with
    // `newDatabase`.
    void Open(const DatabaseTarget& target, bool newDatabase = false);
    // Closes and forgets the connection. Queries made from it must be gone.
    void Close();

    bool isOpen() const { return !name_.isEmpty(); }
    DatabaseTarget::Engine engine() const { return engine_; }
    const QString& connectionName() const { return name_; }

    // A prepared statement on this connection.
    QSqlQuery Prepare(const QString& sql);
    // Runs a prepared statement with its bound values.
    void Execute(QSqlQuery& query);
    // Runs a statement that takes no values (schema, pragmas, savepoints).
    void ExecuteText(const QString& sql);

    // On SQLite the transaction takes the write lock at once (BEGIN
    // IMMEDIATE): a transaction that starts reading and then writes cannot
    // wait for another writer, so the busy timeout would be skipped.
    void BeginTransaction();
    void CommitTransaction();
    void RollbackTransaction(); // never fails: used on the way out of errors

private:
    void OpenSqlite(const DatabaseTarget& target, bool newDatabase);
    void RequirePlayerTables(const DatabaseTarget& target);
    void OpenPostgres(const DatabaseTarget& target);
    [[noreturn]] void Fail(const QSqlError& error);

    QString name_;
    QSqlDatabase database_;
    DatabaseTarget::Engine engine_ = DatabaseTarget::Engine::Sqlite;
};

// The description of an engine error, or a text of our own when the engine
// gave none.
QString DescribeSqlError(const QSqlError& error);
