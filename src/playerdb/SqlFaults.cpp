#include "SqlFaults.h"

#include <QSqlError>
#include <QString>
#include <array>

namespace {

using Fault = DatabaseError::Fault;

// SQLite's primary result codes (the driver reports extended ones, whose
// low byte is the primary code).
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;

Fault SqliteFault(const QSqlError& error) {
    bool number = false;
    const int code = error.nativeErrorCode().toInt(&number) & 0xFF;
    if (number && (code == kSqliteBusy || code == kSqliteLocked)) {
        return Fault::Conflict;
    }
    return Fault::Failed;
}

Fault PostgresFault(const QSqlError& error) {
    // SQLSTATE: serialization failure, deadlock, lock not available; the
    // connection classes, and a server shutting down or restarting.
    const QString state = error.nativeErrorCode();
    if (state == QLatin1String("40001") || state == QLatin1String("40P01") ||
        state == QLatin1String("55P03")) {
        return Fault::Conflict;
    }
    if (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
        state == QLatin1String("57P02") || state == QLatin1String("57P03")) {
        return Fault::Unreachable;
    }
    return Fault::Failed;
}

} // namespace

DatabaseError::Fault StatementFault(DatabaseTarget::Engine engine, const QSqlError& error,
                                    bool connectionLost) {
    if (connectionLost) {
        return Fault::Unreachable;
    }
    return engine == DatabaseTarget::Engine::Postgres ? PostgresFault(error) : SqliteFault(error);
}

DatabaseError::Fault ConnectFault(const QSqlError& error) {
    // The client library gives no code for a refused connection, only the
    // server's words (in English unless the server's lc_messages says
    // otherwise: then the follower keeps trying, which is no harm).
    static constexpr std::array<const char*, 5> kRefusals = {
        "does not exist", // database or role
        "authentication failed", "no password supplied",
        "no pg_hba.conf entry",  "permission denied",
    };
    const QString text = error.text();
    for (const char* refusal : kRefusals) {
        if (text.contains(QLatin1String(refusal))) {
            return Fault::Permanent;
        }
    }
    return Fault::Unreachable;
}
