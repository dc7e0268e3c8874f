#pragma once

#include <string>
#include <vector>

class SqlConnection;

// The player database's schema version. A database made before versions
// were kept is of version 0; every upgrade step (SchemaSteps) makes one
// more. Table Quarvel_Schema holds a row per version the database has
// reached, with when and what the step had to say.

// The version this program makes and upgrades to.
int LatestSchemaVersion();

// The version of the database the connection is open on: 0 when it keeps
// none.
int ReadSchemaVersion(SqlConnection& connection);

// Refuses a database of a version newer than this program knows
// (DatabaseError, Fault::Permanent): another program's tables and rules
// may have changed in ways this one would break. It is left as it is.
void RequireKnownSchema(SqlConnection& connection);

// Brings the database to the latest version, one step at a time, each step
// in a transaction of its own: a failure leaves the database at the last
// version reached. Programs that open an old database at once queue for
// each step; the first takes it, the others find it taken. Returns what the
// steps taken here had to say, a text a step. Raises DatabaseError.
std::vector<std::string> UpgradePlayerSchema(SqlConnection& connection);

// init-db: inside the transaction that makes tables GUID and Players, takes
// every step and records the versions.
void ApplyEverySchemaStep(SqlConnection& connection);

struct SchemaHistoryEntry {
    int version = 0;
    std::string applied; // UTC, ISO 8601
    std::string note;
};
// The versions the database has reached, oldest first; empty when it keeps
// no version.
std::vector<SchemaHistoryEntry> ReadSchemaHistory(SqlConnection& connection);
