#pragma once

#include "DatabaseTarget.h"

#include <QTemporaryDir>
#include <ostream>
#include <string>
#include <vector>

// The engines the database suite runs on. PostgreSQL needs a server: the
// suite reads its URI from QUARVEL_TEST_PG_URI (scripts/with-postgres sets
// it) and skips those cases when it is not set.
enum class TestEngine { Sqlite, Postgres };

inline void PrintTo(TestEngine engine, std::ostream* out) {
    *out << (engine == TestEngine::Sqlite ? "Sqlite" : "Postgres");
}

inline std::string EngineName(TestEngine engine) {
    return engine == TestEngine::Sqlite ? "Sqlite" : "Postgres";
}

// A database of a test's own, gone when the test ends: an SQLite file in a
// temporary folder, or a fresh PostgreSQL schema that the location selects
// through the connection's search_path, so tests never see each other's rows.
class ScratchDatabase {
public:
    // How a PostgreSQL scratch database is kept apart: a schema of its own
    // (quick), or a database of its own, whose URI is short enough for
    // quarvel.cfg's 79-character value.
    enum class Isolation { Schema, Database };

    explicit ScratchDatabase(TestEngine engine, Isolation isolation = Isolation::Schema);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    // Empty when the engine can be used; otherwise why not.
    const std::string& skipReason() const { return skipReason_; }

    // The location to hand to the database layer. For SQLite the file does
    // not exist until Create().
    const std::string& location() const { return location_; }
    // A file path in the test's folder, for SQLite cases that need more.
    std::string FileInFolder(const std::string& name) const;

    // Makes the schema (through init-db's code), so the location opens.
    void Create();
    // Runs a statement that takes no values, outside the layer under test.
    void Execute(const std::string& sql);
    // Runs statements in turn on one connection.
    void Execute(const std::vector<std::string>& statements);
    // The first column of a query's rows, as text.
    std::vector<std::string> QueryColumn(const std::string& sql);
    // The first column of the first row, or empty.
    std::string QueryText(const std::string& sql);

private:
    std::string skipReason_;
    std::string location_;
    QTemporaryDir folder_;
    std::string adminUri_; // PostgreSQL: the server's test database
    std::string schema_;   // PostgreSQL: this test's schema
    std::string database_; // PostgreSQL: this test's database
};

// The first column of a query's rows on any database (one that is not a
// scratch database of the test server's), as text.
std::vector<std::string> QueryColumnAt(const std::string& location, const std::string& sql);
