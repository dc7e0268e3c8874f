#include "ScratchDatabase.h"

#include "PlayerDatabase.h"
#include "PlayerSchema.h"
#include "SqlConnection.h"

#include <QSqlQuery>
#include <QUuid>
#include <cstdlib>
#include <stdexcept>

namespace {

void RunOn(const std::string& location, const std::vector<std::string>& statements) {
    std::string error;
    const auto target = ParseDatabaseTarget(location, error);
    if (!target) {
        throw std::runtime_error(error);
    }
    SqlConnection connection;
    connection.Open(*target, SqlConnection::OpenAs::AnyDatabase);
    for (const std::string& sql : statements) {
        connection.ExecuteText(QString::fromStdString(sql));
    }
}

} // namespace

ScratchDatabase::ScratchDatabase(TestEngine engine, Isolation isolation) {
    if (engine == TestEngine::Sqlite) {
        location_ = FileInFolder("players.sqlite");
        return;
    }
    const char* uri = std::getenv("QUARVEL_TEST_PG_URI");
    if (uri == nullptr || *uri == '\0') {
        skipReason_ = "QUARVEL_TEST_PG_URI is not set; run the suite under scripts/with-postgres "
                      "to include PostgreSQL";
        return;
    }
    adminUri_ = uri;
    const std::string name = QUuid::createUuid().toString(QUuid::Id128).left(16).toStdString();
    if (isolation == Isolation::Database) {
        // The URI names a database right after the authority; put ours there.
        const std::size_t nameStart = adminUri_.find('/', DatabaseTarget::kUriScheme.size());
        const std::size_t nameEnd = adminUri_.find('?', nameStart);
        database_ = "qt_" + name;
        RunOn(adminUri_, {"CREATE DATABASE " + database_});
        location_ = adminUri_.substr(0, nameStart + 1) + database_ +
                    (nameEnd == std::string::npos ? "" : adminUri_.substr(nameEnd));
        return;
    }
    schema_ = "quarvel_test_" + name;
    RunOn(adminUri_, {"CREATE SCHEMA " + schema_});
    // libpq's "options" sets the schema search path for every connection
    // made through this location.
    location_ = adminUri_ + (adminUri_.find('?') == std::string::npos ? "?" : "&") +
                "options=-c%20search_path%3D" + schema_;
}

ScratchDatabase::~ScratchDatabase() {
    if (!database_.empty()) {
        try {
            RunOn(adminUri_, {"DROP DATABASE " + database_ + " WITH (FORCE)"});
        } catch (const std::exception&) {
            // The server goes away with its temporary folder anyway.
        }
    }
    if (!schema_.empty()) {
        try {
            // Without the notice listing every table the drop takes along.
            RunOn(adminUri_,
                  {"SET client_min_messages TO warning", "DROP SCHEMA " + schema_ + " CASCADE"});
        } catch (const std::exception&) {
            // The server goes away with its temporary folder anyway.
        }
    }
}

std::string ScratchDatabase::FileInFolder(const std::string& name) const {
    return folder_.filePath(QString::fromStdString(name)).toStdString();
}

void ScratchDatabase::Create() {
    std::string error;
    if (!InitPlayerDatabase(location_, error)) {
        throw std::runtime_error("init-db failed: " + error);
    }
}

void ScratchDatabase::Execute(const std::string& sql) {
    RunOn(location_, {sql});
}

void ScratchDatabase::Execute(const std::vector<std::string>& statements) {
    RunOn(location_, statements);
}

std::vector<std::string> QueryColumnAt(const std::string& location, const std::string& sql) {
    std::string error;
    const auto target = ParseDatabaseTarget(location, error);
    SqlConnection connection;
    connection.Open(*target, SqlConnection::OpenAs::AnyDatabase);
    std::vector<std::string> column;
    {
        QSqlQuery query = connection.Prepare(QString::fromStdString(sql));
        connection.Execute(query);
        while (query.next()) {
            column.push_back(query.value(0).toString().toStdString());
        }
    }
    return column;
}

std::vector<std::string> ScratchDatabase::QueryColumn(const std::string& sql) {
    return QueryColumnAt(location_, sql);
}

std::string ScratchDatabase::QueryText(const std::string& sql) {
    const std::vector<std::string> column = QueryColumn(sql);
    return column.empty() ? std::string() : column.front();
}
