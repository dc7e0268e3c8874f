#include "PostgresHandle.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <cstring>
#include <libpq-fe.h>

namespace {

PGconn* HandleOf(const QSqlDatabase& database) {
    const QSqlDriver* driver = database.driver();
    if (driver == nullptr) {
        return nullptr;
    }
    const QVariant handle = driver->handle();
    // Qt names the type after the library's struct or its typedef.
    const char* type = handle.typeName();
    if (!handle.isValid() || type == nullptr ||
        (std::strcmp(type, "PGconn*") != 0 && std::strcmp(type, "pg_conn*") != 0)) {
        return nullptr;
    }
    return *static_cast<PGconn* const*>(handle.constData());
}

} // namespace

int PostgresSocket(const QSqlDatabase& database) {
    PGconn* connection = HandleOf(database);
    return connection == nullptr ? -1 : PQsocket(connection);
}

bool PostgresConnectionLost(const QSqlDatabase& database) {
    PGconn* connection = HandleOf(database);
    return connection != nullptr && PQstatus(connection) == CONNECTION_BAD;
}
