#pragma once

#include "AliasesLookup.h"
#include "LocalDate.h"
#include "PlayerDatabase.h"
#include "SqlConnection.h"

#include <QSqlQuery>
#include <functional>
#include <optional>
#include <string>

// The player database over Qt SQL, on SQLite or PostgreSQL, as
// AppConfig::DatabaseLocation() names it. One object serves one harvest run
// or one aliases lookup at a time: Open, the operations, Close.
//
// Texts arrive as log bytes and are stored decoded from Windows-1252; every
// value is bound as a parameter. Statements are prepared on first use and kept
// until Close. Failures raise DatabaseError with the engine's description.
//
// Steps: BeginStep opens a transaction, CommitStep commits it. When a
// statement fails inside a step, the statements before it stay part of the
// step (on PostgreSQL through a savepoint after each write), so CommitStep, or
// Close, still stores them.
//
// Opening refuses what is no player database, or one of a schema newer than
// this program; the first step on a connection (the first write) brings an
// older database up to date (UpgradePlayerSchema), and what the upgrade
// had to say goes to the notices.
class SqlPlayerDatabase final : public PlayerDatabase, public AliasSource {
public:
    using Notices = std::function<void(const std::string&)>;

    explicit SqlPlayerDatabase(std::string location, DateSource today = LocalToday);
    ~SqlPlayerDatabase() override;
    SqlPlayerDatabase(const SqlPlayerDatabase&) = delete;
    SqlPlayerDatabase& operator=(const SqlPlayerDatabase&) = delete;

    void Open() override;
    // Commits an open step, then closes. Raises DatabaseError when that
    // commit fails; the connection is closed all the same.
    void Close() override;
    bool isOpen() const { return connection_.isOpen(); }

    std::int32_t CountGuids() override;
    std::int32_t CountPlayers() override;

    std::optional<std::int32_t> FindGuid(std::string_view guid) override;
    std::optional<std::int32_t> InsertGuid(std::string_view guid) override;

    bool SightingExists(std::int32_t guidKey, std::string_view ipFull,
                        std::string_view nameFormatted) override;
    bool InsertSighting(const PlayerSighting& sighting) override;

    // Commits a step still open first.
    void BeginStep() override;
    void CommitStep() override;
    void RollbackStep() override;

    void StorePlace(const FollowerPlace& place) override;
    std::optional<FollowerPlace> LoadPlace(const FollowerKey& key) override;

    // Where what the schema's upgrade says goes; nowhere by default.
    void SetNotices(Notices notices) { notices_ = std::move(notices); }

    std::vector<std::string> FormattedNames(std::int32_t guidKey) override;

private:
    struct Statements {
        std::optional<QSqlQuery> countGuids;
        std::optional<QSqlQuery> countPlayers;
        std::optional<QSqlQuery> findGuid;
        std::optional<QSqlQuery> addGuid;
        std::optional<QSqlQuery> sightingExists;
        std::optional<QSqlQuery> insertSighting;
        std::optional<QSqlQuery> formattedNames;
        std::optional<QSqlQuery> storePlace;
    };

    QSqlQuery& Statement(std::optional<QSqlQuery>& slot, const char* sql);
    // Runs a statement; inside a step a failure rolls back to the last
    // successful write first, and a write moves that point forward.
    void Run(QSqlQuery& query, bool writes);
    // After a failure inside a step on PostgreSQL: back to the last write
    // that succeeded, which makes the transaction usable again.
    void RestoreLastWrite();
    std::int32_t Count(std::optional<QSqlQuery>& slot, const char* sql);
    bool keepsSavepoints() const;
    void CloseConnection();

    std::string location_;
    DateSource today_;
    SqlConnection connection_;
    Statements statements_;
    bool inStep_ = false;
    bool upgraded_ = false; // the schema is up to date on this connection
    Notices notices_;
};
