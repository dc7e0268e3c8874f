#pragma once

#include <string>
#include <string_view>

class SqlConnection;

// Creates tables GUID and Players with their indexes, and everything the
// upgrade steps add (the ban records, the unique sightings, the followers'
// places, the schema's version), in an open database, all in one
// transaction: a failure leaves no half-made schema. Raises DatabaseError.
void CreatePlayerSchema(SqlConnection& connection);

// Makes a new player database at `target`: a new SQLite file (readable by
// its owner alone), or the tables in a PostgreSQL database that has neither
// GUID nor Players yet. An existing file is never touched. Returns false and
// says why in `error`.
bool InitPlayerDatabase(std::string_view target, std::string& error);
