#pragma once

#include "Harvester.h"
#include "Messages.h"
#include "PlayerDatabase.h"

#include <memory>
#include <optional>

class LogModel;

// Keeps a player database current with a log that grows: the lines the log
// has and the harvest has not taken yet are harvested in batches, each batch
// one transaction, all of them one harvest run (the slots carry on from one
// batch to the next). After the log stops growing the database holds exactly
// what one database update of the whole log leaves.
//
// A failure ends the harvest: the rows stored before it stay, and the
// message says what the engine said. A log loaded again from scratch
// (truncated, replaced) starts a new run from its first line.
class LiveHarvest {
public:
    LiveHarvest(const LogModel& log, std::unique_ptr<PlayerDatabase> database);
    // Commits what is open and closes the database; a failure then is not
    // reported (the rows of every finished batch are stored already).
    ~LiveHarvest();
    LiveHarvest(const LiveHarvest&) = delete;
    LiveHarvest& operator=(const LiveHarvest&) = delete;

    // Harvests up to `maxLines` of the lines not taken yet in one
    // transaction (opening the database first, the first time). Nothing,
    // or the failure that ended the harvest.
    std::optional<Message> HarvestMore(int maxLines);
    // The log was loaded again: the next batch starts a new run at its
    // first line. Nothing, or the failure that ended the harvest.
    std::optional<Message> Restart();

    // Lines 0 .. harvested() - 1 are in the database.
    int harvested() const { return harvested_; }
    bool upToDate() const;
    bool failed() const { return failed_; }
    // The counters of the current run.
    const HarvestCounters& counters() const { return harvester_.counters(); }

private:
    std::optional<Message> Fail(std::string text);

    const LogModel& log_;
    Harvester harvester_;
    int harvested_ = 0;
    bool failed_ = false;
};
