#pragma once

#include "DatabaseTarget.h"
#include "PlayerDatabase.h"

class QSqlError;

// What kind of failure an engine error is, for the work that meets it (see
// DatabaseError::Fault).

// A statement that failed; `connectionLost` when the connection was found
// gone after it.
DatabaseError::Fault StatementFault(DatabaseTarget::Engine engine, const QSqlError& error,
                                    bool connectionLost);
// A connection that could not be made. No such database, a login refused
// or not allowed cannot be mended by trying again; everything else (no
// server, no route, a server starting or full) may be.
DatabaseError::Fault ConnectFault(const QSqlError& error);
