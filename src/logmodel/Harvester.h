#pragma once

#include "ConflictBackoff.h"
#include "EventPatterns.h"
#include "EventText.h"
#include "HarvestMemo.h"
#include "HarvestSlot.h"
#include "PlayerDatabase.h"

#include <cstdint>
#include <memory>
#include <string_view>

class LogStore;

// The four counters of a harvest: rows it added, and the tables' rows when it
// began plus those.
struct HarvestCounters {
    std::int32_t guidsNew = 0;
    std::int32_t guidsTotal = 0;
    std::int32_t playersNew = 0;
    std::int32_t playersTotal = 0;

    bool operator==(const HarvestCounters&) const = default;
};

// Harvests a log's players into a player database: each ClientConnect line
// finds or adds its GUID's row and remembers it with the address in the
// line's slot; each ClientUserinfoChanged line stores a sighting of the
// slot's GUID under that address and the line's name, unless the same one is
// stored already.
//
// One harvest runs from Begin to End over lines in the order of the log, in
// as many calls of HarvestLines as the caller likes (a database update run
// takes the whole log in steps; a live harvest takes each batch the log
// grows by). Every run begins with empty slots: a name is only ever stored
// under a connection the same run has seen.
//
// Other programs may harvest into the same database at the same time: the
// engine's unique keys decide who adds a row, and the counters count only
// the rows this harvest added.
class Harvester {
public:
    // How often a step the engine gave up for another writer's sake is
    // tried in all.
    static constexpr int kStepAttempts = ConflictBackoff::kAttempts;

    explicit Harvester(const EventPatterns& patterns) : patterns_(patterns) {}
    Harvester(const Harvester&) = delete;
    Harvester& operator=(const Harvester&) = delete;

    // The database the harvest writes to; a harvest without one fails as it
    // begins.
    void SetDatabase(std::unique_ptr<PlayerDatabase> database) { database_ = std::move(database); }
    PlayerDatabase* database() const { return database_.get(); }

    // Opens the database, reads its two counts and empties the slots. A
    // DatabaseError or std::bad_alloc leaves Begin, HarvestLines and End for
    // the code that started the harvest.
    void Begin();
    // Opens the database again after a lost connection: the run goes on
    // with its slots and counters.
    void Reopen();
    // Harvests lines [from, to) of `lines` in one database step (one
    // transaction). With a `place`, the place after those lines (its slots
    // filled here) is stored in the same step.
    //
    // A step the engine gives up for another writer's sake (a deadlock, a
    // serialization failure, a busy database) is rolled back and taken again
    // from its first line, with the slots, counters and what the harvest
    // learnt put back as they were before it, up to kStepAttempts times.
    // When it leaves with a DatabaseError of Fault::Conflict or
    // Fault::Unreachable, the step is rolled back in the same way, so the
    // same lines can be harvested again later; with any other failure the
    // step stays open, and End commits what went before the failure.
    void HarvestLines(const LogStore& lines, int from, int to, FollowerPlace* place = nullptr);
    // Commits what is open and closes the database.
    void End();
    // Gives up the open step and closes the database, whatever state the
    // connection is in; nothing is thrown. Reopen goes on.
    void Abandon();
    bool running() const { return running_; }

    // As the latest harvest left them; 0 before the first.
    const HarvestCounters& counters() const { return counters_; }
    // What each slot's latest ClientConnect line said in this harvest.
    const HarvestSlots& harvestSlots() const { return slots_; }
    // Sets the slots, for a follower that goes on from a stored place; the
    // run must have begun.
    void RestoreSlots(const HarvestSlots& filled) { slots_ = filled; }

private:
    // What a step changes besides the database, put back when it is given up.
    struct StepStart {
        HarvestSlots filled;
        HarvestCounters counters;
    };

    void HarvestStep(const LogStore& lines, int from, int to, FollowerPlace* place);
    void GiveUpStep(const StepStart& start);
    void HarvestLine(std::string_view line);
    // Each does nothing with a line whose payload does not parse or names
    // no slot it can use.
    void HarvestConnect(std::string_view payload);
    void HarvestUserinfo(std::string_view payload);

    const EventPatterns& patterns_;
    std::unique_ptr<PlayerDatabase> database_;
    bool running_ = false;
    int eventTextOffset_ = kEventTextOffset;
    HarvestSlots slots_{};
    HarvestCounters counters_;
    // Scratch reused from line to line: the line's event text, the pattern's
    // groups and the sighting being stored.
    EventTextBuffer text_{};
    PatternGroups groups_;
    PlayerSighting sighting_;
    HarvestMemo memo_;
    ConflictBackoff backoff_;
};
