#pragma once

#include "FollowerPlace.h"
#include "Harvester.h"
#include "Messages.h"
#include "PlayerDatabase.h"

#include <memory>
#include <optional>
#include <string>

class EventPatterns;
class LogModel;
class LogStore;

// Keeps a player database current with a log that grows: the lines the log
// has and the harvest has not taken yet are harvested in batches, each batch
// one transaction, all of them one harvest run (the slots carry on from one
// batch to the next). After the log stops growing the database holds exactly
// what one database update of the whole log leaves.
//
// A lost connection, or a batch the engine keeps giving up for other
// writers' sake, interrupts the harvest: the batch is rolled back, the
// harvest keeps its place in the log, and the next HarvestMore connects
// again and goes on from there (the caller decides when). Any other failure
// ends the harvest: the rows stored before it stay, and the message says what
// the engine said. A log loaded again from scratch (truncated, replaced)
// starts a new run from its first line.
//
// A follower's harvest keeps its place (KeepPlace): each batch stores it in
// the same transaction, and the first batch goes on from the place stored
// before, when it is a place in the same file.
class LiveHarvest {
public:
    // Lines a batch takes at most where a caller has no reason to choose: a
    // log that has much to catch up on is harvested in slices, with the
    // event loop turning between, and the database's other harvests take
    // their turns between them.
    static constexpr int kBatchLines = 5'000;

    LiveHarvest(const LogModel& log, std::unique_ptr<PlayerDatabase> database);
    LiveHarvest(const LogStore& lines, const EventPatterns& patterns,
                std::unique_ptr<PlayerDatabase> database);
    // Commits what is open and closes the database; a failure then is not
    // reported (the rows of every finished batch are stored already).
    ~LiveHarvest();
    LiveHarvest(const LiveHarvest&) = delete;
    LiveHarvest& operator=(const LiveHarvest&) = delete;

    // Stores the place of the follower `key` with every batch, and goes on
    // from its stored place. Before the first batch.
    void KeepPlace(FollowerKey key);
    // Stops storing the place (a rotated file: the place belongs to the file
    // that now has the path).
    void StopKeepingPlace() { key_.reset(); }
    // Harvests from another store holding the same lines, such as the one a
    // rotated file went to (LogModel::Refresh).
    void Rebind(const LogStore& lines) { lines_ = &lines; }

    // Harvests up to `maxLines` of the lines not taken yet in one
    // transaction, connecting first when no connection is open (the first
    // time, or after an interruption). Nothing, or the failure that ended
    // the harvest.
    std::optional<Message> HarvestMore(int maxLines);
    // The log was loaded again: the next batch starts a new run at its
    // first line. Nothing, or the failure that ended the harvest.
    std::optional<Message> Restart();

    // Lines 0 .. harvested() - 1 are in the database (or lie before the
    // place the harvest went on from).
    int harvested() const { return harvested_; }
    // Connected at least once, and every line the log has is harvested.
    bool upToDate() const;
    bool failed() const { return failed_; }
    // The database could not be reached (or the engine kept giving the batch
    // up); why, in the engine's words.
    bool interrupted() const { return interrupted_; }
    const std::string& interruption() const { return interruption_; }
    // Unreachable (lost, or no answer in time) or Conflict (the engine kept
    // giving the batch up for other writers' sake).
    DatabaseError::Fault interruptionFault() const { return interruptionFault_; }
    // Where the harvest went on from a stored place: its byte offset, or -1.
    std::int64_t resumedAt() const { return resumedAt_; }
    // The counters of the current run.
    const HarvestCounters& counters() const { return harvester_.counters(); }

private:
    std::optional<Message> Fail(std::string text);
    void Interrupt(const DatabaseError& error);
    // Opens the database: a new run the first time (going on from the stored
    // place where it fits), the same run again after an interruption.
    void Connect();
    // Moves harvested_ past the lines before the place the harvest goes on
    // from.
    void SkipToResumePlace();

    const LogStore* lines_;
    Harvester harvester_;
    std::optional<FollowerKey> key_;
    int harvested_ = 0;
    std::int64_t resumeOffset_ = 0; // lines starting before it are not harvested
    std::int64_t resumedAt_ = -1;
    bool begun_ = false;          // the run has begun
    bool placeConsulted_ = false; // only the first run goes on from a place
    bool failed_ = false;
    bool interrupted_ = false;
    std::string interruption_;
    DatabaseError::Fault interruptionFault_ = DatabaseError::Fault::Unreachable;
};
