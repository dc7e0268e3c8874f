#pragma once

#include "FollowerPlace.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// The player database as the harvest walk sees it. The log model owns one per
// document and drives it during a walk in harvest mode; the real one lives in
// src/playerdb, tests use a recorder.
//
// Every operation may fail with a DatabaseError carrying the engine's
// description; the work that started the walk catches it. Texts are the log's
// bytes (Windows-1252): the implementation decodes them for its engine.
//
// What a failure means for the work that meets it:
// - Failed: the engine refused what was asked (a missing table, a row it
//   will not take); asking again gets the same answer.
// - Conflict: the engine gave up a transaction for another writer's sake (a
//   deadlock, a serialization failure, a lock not had in time); the whole
//   transaction may be tried again.
// - Unreachable: the connection was lost or the database did not answer in
//   time; what was not committed is gone, and a new connection may succeed.
// - Permanent: the database cannot be used as it is (no such database, bad
//   credentials, not a player database, a schema newer than the program);
//   no retrying mends it.
class DatabaseError : public std::runtime_error {
public:
    enum class Fault { Failed, Conflict, Unreachable, Permanent };

    explicit DatabaseError(const std::string& text, Fault fault = Fault::Failed)
        : std::runtime_error(text), fault_(fault) {}

    Fault fault() const { return fault_; }

private:
    Fault fault_;
};

// One ClientUserinfoChanged sighting to store in table Players.
struct PlayerSighting {
    std::int32_t guidKey = 0;
    std::string ipParts[4];    // the dotted parts of ipFull, at most 3 bytes each
    std::string ipFull;        // the address as the log writes it, without the port
    std::string nameFormatted; // the name without its colour codes
    std::string nameRaw;       // the name as the log writes it
};

class PlayerDatabase {
public:
    virtual ~PlayerDatabase() = default;

    // Opens the existing database; never creates one.
    virtual void Open() = 0;
    // Commits a step still open first, so a run that ends on a failure
    // keeps what it stored before it.
    virtual void Close() = 0;

    virtual std::int32_t CountGuids() = 0;   // rows of table GUID
    virtual std::int32_t CountPlayers() = 0; // rows of table Players

    // The Guid_Key of a GUID, looked up by the indexed GUID column.
    virtual std::optional<std::int32_t> FindGuid(std::string_view guid) = 0;
    // Adds a GUID row unless the GUID has one: the key the engine gave the
    // new row, or nothing when another writer added the GUID first.
    virtual std::optional<std::int32_t> InsertGuid(std::string_view guid) = 0;
    // The key of the GUID's row, adding the row when there is none.
    std::int32_t AddGuid(std::string_view guid) {
        if (const auto key = InsertGuid(guid)) {
            return *key;
        }
        if (const auto key = FindGuid(guid)) {
            return *key;
        }
        throw DatabaseError("The database neither added the GUID row nor holds one.");
    }

    // Whether a Players row with the same key, address and colour-free name
    // is stored already.
    virtual bool SightingExists(std::int32_t guidKey, std::string_view ipFull,
                                std::string_view nameFormatted) = 0;
    // Inserts a Players row dated today (the local date of this machine),
    // unless another writer has stored the same sighting since
    // SightingExists said no. True when this call stored the row.
    virtual bool InsertSighting(const PlayerSighting& sighting) = 0;

    // A walk step's statements run between these two; CommitStep also keeps
    // what succeeded before a failure. RollbackStep gives the step up,
    // whatever state the connection is in, and never fails.
    virtual void BeginStep() = 0;
    virtual void CommitStep() = 0;
    virtual void RollbackStep() = 0;

    // Where a follower stands in its log (see FollowerPlace): stored inside
    // the open step, so that it is committed with the rows of the same
    // lines, and read when the follower starts again. A database from before
    // followers' places holds none.
    virtual void StorePlace(const FollowerPlace& place) = 0;
    virtual std::optional<FollowerPlace> LoadPlace(const FollowerKey& key) = 0;
};
