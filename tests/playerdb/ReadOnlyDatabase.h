#pragma once

#include "ScratchDatabase.h"

#include <filesystem>
#include <string>
#include <unistd.h>

// Makes a scratch database refuse every write from now on, as a database
// the user may only read does. PostgreSQL: every new session of the
// database is read-only (the scratch database must be one of its own,
// ScratchDatabase::Isolation::Database, or the other tests' would be too).
// SQLite: the file is made read-only; root writes whatever the permissions
// say, so under root a trigger refuses the writes instead, with the engine's
// own words.
inline void MakeReadOnly(ScratchDatabase& scratch, TestEngine engine) {
    if (engine == TestEngine::Postgres) {
        scratch.Execute("DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET "
                        "default_transaction_read_only = on', current_database()); END $$");
        return;
    }
    if (::geteuid() != 0) {
        using std::filesystem::perms;
        std::filesystem::permissions(scratch.location(),
                                     perms::owner_read | perms::group_read | perms::others_read);
        return;
    }
    for (const char* table : {"GUID", "Players", "Ban_Records"}) {
        scratch.Execute(std::string("CREATE TRIGGER read_only_") + table + " BEFORE INSERT ON \"" +
                        table +
                        "\" BEGIN SELECT RAISE(ABORT, 'attempt to write a readonly "
                        "database'); END");
    }
}

// Takes out what a database made before ban records lacks: their table and
// the finds' indexes, as an older init-db left it, and the schema's version
// and the followers' places that came later still.
inline void MakeOlderDatabase(ScratchDatabase& scratch, TestEngine engine) {
    scratch.Execute(R"(DROP TABLE "Quarvel_Schema")");
    scratch.Execute(R"(DROP TABLE "Quarvel_Followers")");
    scratch.Execute(R"(DROP TABLE "Ban_Records")");
    if (engine == TestEngine::Postgres) {
        scratch.Execute(R"(DROP INDEX "Players_IP_Full")");
        scratch.Execute(R"(DROP INDEX "GUID_GUID_C")");
        scratch.Execute(R"(DROP INDEX IF EXISTS "Players_Name_Trigrams")");
    }
}

// Whether the scratch database has a table or index of this name.
inline bool HasObject(ScratchDatabase& scratch, TestEngine engine, const std::string& name) {
    const std::string sql =
        engine == TestEngine::Sqlite
            ? "SELECT COUNT(*) FROM sqlite_master WHERE name = '" + name + "'"
            : "SELECT COUNT(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
              "WHERE n.nspname = current_schema() AND c.relname = '" +
                  name + "'";
    return scratch.QueryText(sql) != "0";
}
