#include "PlayerSchema.h"

#include "BanRecordSchema.h"
#include "DatabaseTarget.h"
#include "PlayerDatabase.h"
#include "PlayerSql.h"
#include "SchemaUpgrade.h"
#include "SqlConnection.h"

#include <QSqlQuery>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <span>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

std::span<const char* const> SchemaFor(DatabaseTarget::Engine engine) {
    if (engine == DatabaseTarget::Engine::Postgres) {
        return PlayerSql::kPostgresSchema;
    }
    return PlayerSql::kSqliteSchema;
}

long long ExistingTables(SqlConnection& connection) {
    QSqlQuery query = connection.Prepare(
        QString::fromLatin1(connection.engine() == DatabaseTarget::Engine::Postgres
                                ? PlayerSql::kPostgresExistingTables
                                : PlayerSql::kSqliteExistingTables));
    connection.Execute(query);
    return query.next() ? query.value(0).toLongLong() : 0;
}

bool InitSqliteFile(const DatabaseTarget& target, std::string& error) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(target.file, ec))) {
        error = target.file + " already exists; init-db only creates a new database file";
        return false;
    }
    // Created here exclusively, so a file that appears meanwhile (or a link
    // put in its place) is not taken over; SQLite accepts an empty file as
    // an empty database. The file holds players' addresses: only its owner
    // may read it, whatever the umask, and SQLite gives its -wal and -shm
    // files the same permissions.
    const int fd = ::open(target.file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot create " + target.file + ": " + std::strerror(errno);
        return false;
    }
    const bool privateFile = ::fchmod(fd, 0600) == 0;
    const int fchmodError = errno;
    ::close(fd);
    if (!privateFile) {
        std::filesystem::remove(target.file, ec);
        error = "cannot make " + target.file + " private: " + std::strerror(fchmodError);
        return false;
    }
    try {
        SqlConnection connection;
        connection.Open(target, SqlConnection::OpenAs::NewDatabase);
        CreatePlayerSchema(connection);
        connection.Close();
        return true;
    } catch (const DatabaseError& failure) {
        error = failure.what();
    }
    // The file is ours and half made: take it away with its journal files.
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::filesystem::remove(target.file + suffix, ec);
    }
    return false;
}

bool InitPostgres(const DatabaseTarget& target, std::string& error) {
    try {
        SqlConnection connection;
        connection.Open(target, SqlConnection::OpenAs::AnyDatabase);
        if (ExistingTables(connection) != 0) {
            error = "the database already holds table GUID or Players; init-db only fills a "
                    "database that has neither";
            return false;
        }
        CreatePlayerSchema(connection);
        return true;
    } catch (const DatabaseError& failure) {
        error = failure.what();
        return false;
    }
}

} // namespace

void CreatePlayerSchema(SqlConnection& connection) {
    connection.BeginTransaction();
    try {
        for (const char* statement : SchemaFor(connection.engine())) {
            connection.ExecuteText(QString::fromLatin1(statement));
        }
        // The tables as the first release made them, then every upgrade
        // step: a new database is made the way an old one is upgraded.
        ApplyEverySchemaStep(connection);
        connection.CommitTransaction();
    } catch (const DatabaseError&) {
        connection.RollbackTransaction();
        throw;
    }
    // Outside the transaction: where it cannot be had, the database is
    // complete without it.
    AddNameTrigramIndex(connection, true);
}

bool InitPlayerDatabase(std::string_view target, std::string& error) {
    const auto parsed = ParseDatabaseTarget(target, error);
    if (!parsed) {
        return false;
    }
    if (parsed->engine == DatabaseTarget::Engine::Postgres) {
        return InitPostgres(*parsed, error);
    }
    return InitSqliteFile(*parsed, error);
}
