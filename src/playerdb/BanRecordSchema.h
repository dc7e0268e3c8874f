#pragma once

#include "BanRecordSql.h"
#include "DatabaseTarget.h"

#include <span>

class SqlConnection;

// What the program keeps beside tables GUID and Players for the ban records
// and the finds; the first upgrade step (SchemaSteps) makes it.

// The statements that make the ban records' table with its index.
std::span<const char* const> BanRecordTableStatements(DatabaseTarget::Engine engine);
// The indexes the finds use on this engine.
std::span<const BanRecordSql::FindIndex> BanRecordFindIndexes(DatabaseTarget::Engine engine);

// PostgreSQL: gives table Players the trigram index of names, when the
// extension it needs is there or, with `installExtension`, can be installed.
// Nothing happens on SQLite, or when it cannot be done: names are then found
// by reading every row. Outside any transaction: a failure here spoils none.
void AddNameTrigramIndex(SqlConnection& connection, bool installExtension);

// Whether a table or index of this name exists where the connection works.
bool DatabaseObjectExists(SqlConnection& connection, const char* name);
// Whether the table has a column of this name there.
bool DatabaseColumnExists(SqlConnection& connection, const char* table, const char* column);

// Widens the ban records to the live servers' actions (kick, temp-kick,
// message) and their minutes, keeping every row: inside the caller's
// transaction. A table that has the minutes already is left as it is.
void WidenBanRecordActions(SqlConnection& connection);
