#include "PostgresHandle.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <cstring>
#include <dlfcn.h>
#include <libpq-fe.h>

namespace {

// The client library's functions, from the copy Qt's driver loaded: a
// connection handle exists only once it has. Linking the library ourselves
// would load it, with the TLS, Kerberos and LDAP libraries it needs, in every
// process at its start, about 8 ms before quarvelctl could do anything, for
// the few commands that reach a PostgreSQL database.
template <typename Function> Function* LoadedClientFunction(const char* name) {
    void* library = dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
    if (library == nullptr) {
        return nullptr;
    }
    void* symbol = dlsym(library, name);
    dlclose(library); // only the reference NOLOAD took; the driver keeps its own
    return reinterpret_cast<Function*>(symbol);
}

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
    const auto socketOf = LoadedClientFunction<decltype(PQsocket)>("PQsocket");
    return connection == nullptr || socketOf == nullptr ? -1 : socketOf(connection);
}

bool PostgresConnectionLost(const QSqlDatabase& database) {
    PGconn* connection = HandleOf(database);
    const auto statusOf = LoadedClientFunction<decltype(PQstatus)>("PQstatus");
    return connection != nullptr && statusOf != nullptr && statusOf(connection) == CONNECTION_BAD;
}
