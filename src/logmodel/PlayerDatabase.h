#pragma once

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
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
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
    // Adds a GUID row and returns the key the engine gave it.
    virtual std::int32_t AddGuid(std::string_view guid) = 0;

    // Whether a Players row with the same key, address and colour-free name
    // is stored already.
    virtual bool SightingExists(std::int32_t guidKey, std::string_view ipFull,
                                std::string_view nameFormatted) = 0;
    // Inserts a Players row dated today (the local date of this machine).
    virtual void InsertSighting(const PlayerSighting& sighting) = 0;

    // A walk step's statements run between these two; CommitStep also keeps
    // what succeeded before a failure.
    virtual void BeginStep() = 0;
    virtual void CommitStep() = 0;
};
