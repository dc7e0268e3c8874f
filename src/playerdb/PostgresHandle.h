#pragma once

class QSqlDatabase;

// What Qt's PostgreSQL driver does not tell of its connection, asked of the
// client library's own handle (QSqlDriver::handle()).

// The connection's socket, or -1 (not a PostgreSQL connection, or none).
int PostgresSocket(const QSqlDatabase& database);
// Whether the connection to the server is gone: a statement that failed on
// it failed for that, not for what it asked.
bool PostgresConnectionLost(const QSqlDatabase& database);
