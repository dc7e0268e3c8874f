#pragma once

#include "DatabaseTarget.h"

#include <vector>

class SqlConnection;

// The statements init-db runs after those of tables GUID and Players: the ban
// records' table with its index, and the indexes the finds use.
std::vector<const char*> BanRecordSchemaStatements(DatabaseTarget::Engine engine);

// PostgreSQL: gives table Players the trigram index of names, when the
// extension it needs is there or, with `installExtension`, can be installed.
// Nothing happens on SQLite, or when it cannot be done: names are then found
// by reading every row.
void AddNameTrigramIndex(SqlConnection& connection, bool installExtension);

// Whether a table or index of this name exists where the connection works.
bool DatabaseObjectExists(SqlConnection& connection, const char* name);

// Brings a database made before ban records up to date, making only what it
// lacks: the records' table and its index, in one transaction (a failure
// raises DatabaseError and leaves nothing half made), then each missing find
// index. A find index that cannot be made (the user does not own table
// Players, or a harvest holds it) is left for a later time: finds are only
// slower without it. The trigram index is added when pg_trgm is
// installed.
void UpgradeForBanRecords(SqlConnection& connection);
