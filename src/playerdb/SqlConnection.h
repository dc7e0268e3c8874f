#pragma once

#include "DatabaseTarget.h"
#include "PlayerDatabase.h"
#include "StatementDeadline.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <chrono>

class QSqlError;

// One open connection to the player database through Qt SQL: QSQLITE for a
// file, QPSQL for a postgresql:// URI. Each connection has a name of its own,
// removed from Qt's registry again on Close, so lookups and runs never share
// or leak one. Failures raise DatabaseError with the engine's description
// and what kind of failure it is (DatabaseError::Fault).
//
// Nothing waits without end: SQLite waits at most its busy timeout for
// another program's lock; PostgreSQL connects within connect_timeout, finds
// a dead peer by keepalives and tcp_user_timeout, and gives every statement
// a limit of its own (StatementDeadline).
class SqlConnection {
public:
    // What the database opened is expected to be.
    enum class OpenAs {
        // An existing player database: an SQLite file or PostgreSQL database
        // with table GUID or Players, of a schema version this program
        // knows. Anything else is refused (Fault::Permanent) and left as it
        // was.
        PlayerDatabase,
        // A player database of any schema version, only to be looked at:
        // nothing is written to it.
        PlayerDatabaseToLookAt,
        // The new empty SQLite file init-db has just made.
        NewDatabase,
        // Whatever is there (init-db's look at a PostgreSQL database, the
        // tests' own statements).
        AnyDatabase,
    };

    SqlConnection() = default;
    ~SqlConnection() { Close(); }
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    // Opens an existing database; an SQLite file that is not there is an
    // error, never a new empty file. SQLite files are switched to the WAL
    // journal so that a lookup can read while a harvest writes; the file is
    // looked at through SQLite alone before that (which writes to it): a
    // descriptor of our own on the file, opened and closed while this
    // process holds another connection to it, would drop that connection's
    // locks.
    void Open(const DatabaseTarget& target, OpenAs as = OpenAs::PlayerDatabase);
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

    // The limit each statement gets from here on (the schema's upgrade
    // steps may take longer than a harvest's statements).
    void SetStatementLimit(std::chrono::milliseconds limit) { statementLimit_ = limit; }
    std::chrono::milliseconds statementLimit() const { return statementLimit_; }

private:
    void OpenSqlite(const DatabaseTarget& target, OpenAs as);
    void RequirePlayerTables(const DatabaseTarget& target);
    void OpenPostgres(const DatabaseTarget& target);
    // Around every round trip to the server.
    void BeforeStatement();
    bool AfterStatement();
    [[noreturn]] void Fail(const QSqlError& error, bool timedOut = false);

    QString name_;
    QSqlDatabase database_;
    DatabaseTarget::Engine engine_ = DatabaseTarget::Engine::Sqlite;
    std::chrono::milliseconds statementLimit_ = StatementDeadline::DefaultLimit();
    StatementDeadline deadline_;
};

// The description of an engine error, or a text of our own when the engine
// gave none.
QString DescribeSqlError(const QSqlError& error);
