#pragma once

#include "PlayerDatabase.h"

#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

// An in-memory player database that records every call made through the
// seam. Rows written inside a step stay pending until CommitStep or Close,
// so a test sees what a real engine would keep. `failAt` makes the call of
// that number (counted from 1 over every recorded call) fail.
class RecordingPlayerDatabase final : public PlayerDatabase {
public:
    enum class Failure { DatabaseError, Conflict, Unreachable, OutOfMemory };

    struct Row {
        std::int32_t guidKey;
        std::string ipParts[4];
        std::string ipFull;
        std::string nameFormatted;
        std::string nameRaw;
    };

    void Open() override {
        Record("Open");
        open = true;
    }
    void Close() override {
        Record("Close");
        Commit();
        open = false;
    }
    std::int32_t CountGuids() override {
        Record("CountGuids");
        return static_cast<std::int32_t>(guids.size());
    }
    std::int32_t CountPlayers() override {
        Record("CountPlayers");
        return static_cast<std::int32_t>(players.size());
    }
    std::optional<std::int32_t> FindGuid(std::string_view guid) override {
        Record("FindGuid " + std::string(guid));
        const auto found = guids.find(std::string(guid));
        if (found != guids.end()) {
            return found->second;
        }
        const auto pending = pendingGuids.find(std::string(guid));
        if (pending != pendingGuids.end()) {
            return pending->second;
        }
        return std::nullopt;
    }
    std::optional<std::int32_t> InsertGuid(std::string_view guid) override {
        Record("InsertGuid " + std::string(guid));
        if (guids.contains(std::string(guid)) || pendingGuids.contains(std::string(guid))) {
            return std::nullopt;
        }
        const std::int32_t key = nextKey++;
        pendingGuids[std::string(guid)] = key;
        return key;
    }
    bool SightingExists(std::int32_t guidKey, std::string_view ipFull,
                        std::string_view nameFormatted) override {
        Record("SightingExists " + std::to_string(guidKey) + " " + std::string(ipFull) + " " +
               std::string(nameFormatted));
        for (const auto* rows : {&players, &pendingPlayers}) {
            for (const Row& row : *rows) {
                if (row.guidKey == guidKey && row.ipFull == ipFull &&
                    row.nameFormatted == nameFormatted) {
                    return true;
                }
            }
        }
        return false;
    }
    bool InsertSighting(const PlayerSighting& s) override {
        Record("InsertSighting " + std::to_string(s.guidKey) + " " + s.ipParts[0] + "|" +
               s.ipParts[1] + "|" + s.ipParts[2] + "|" + s.ipParts[3] + " " + s.ipFull + " " +
               s.nameFormatted + " " + s.nameRaw);
        pendingPlayers.push_back({s.guidKey,
                                  {s.ipParts[0], s.ipParts[1], s.ipParts[2], s.ipParts[3]},
                                  s.ipFull,
                                  s.nameFormatted,
                                  s.nameRaw});
        return true;
    }
    void BeginStep() override {
        Record("BeginStep");
        Commit();
    }
    void CommitStep() override {
        Record("CommitStep");
        Commit();
    }
    void RollbackStep() override {
        Record("RollbackStep");
        pendingGuids.clear();
        pendingPlayers.clear();
        pendingPlace.reset();
    }
    void StorePlace(const FollowerPlace& place) override {
        Record("StorePlace " + place.key.logPath + " " + std::to_string(place.offset));
        pendingPlace = place;
    }
    std::optional<FollowerPlace> LoadPlace(const FollowerKey& key) override {
        Record("LoadPlace " + key.logPath);
        return place && place->key == key ? place : std::nullopt;
    }

    // The calls of one kind (the first word of each record).
    std::vector<std::string> CallsOf(const std::string& kind) const {
        std::vector<std::string> result;
        for (const std::string& call : calls) {
            if (call.substr(0, call.find(' ')) == kind) {
                result.push_back(call);
            }
        }
        return result;
    }

    std::vector<std::string> calls;
    std::map<std::string, std::int32_t> guids; // committed
    std::vector<Row> players;                  // committed
    std::map<std::string, std::int32_t> pendingGuids;
    std::vector<Row> pendingPlayers;
    std::optional<FollowerPlace> place; // committed
    std::optional<FollowerPlace> pendingPlace;
    std::int32_t nextKey = 1;
    bool open = false;
    int failAt = 0;
    Failure failure = Failure::DatabaseError;

private:
    void Record(std::string call) {
        calls.push_back(std::move(call));
        if (static_cast<int>(calls.size()) == failAt) {
            switch (failure) {
            case Failure::OutOfMemory:
                throw std::bad_alloc();
            case Failure::Conflict:
                throw DatabaseError("deadlock detected", DatabaseError::Fault::Conflict);
            case Failure::Unreachable:
                throw DatabaseError("server closed the connection unexpectedly",
                                    DatabaseError::Fault::Unreachable);
            case Failure::DatabaseError:
                break;
            }
            throw DatabaseError("no such table: Players");
        }
    }
    void Commit() {
        guids.merge(pendingGuids);
        pendingGuids.clear();
        players.insert(players.end(), pendingPlayers.begin(), pendingPlayers.end());
        pendingPlayers.clear();
        if (pendingPlace) {
            place = std::move(pendingPlace);
            pendingPlace.reset();
        }
    }
};
