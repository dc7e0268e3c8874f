#pragma once

#include "EventPatterns.h"
#include "EventText.h"
#include "HarvestMemo.h"
#include "HarvestSlot.h"
#include "PlayerDatabase.h"

#include <cstdint>
#include <memory>
#include <string_view>

class LogModel;

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
class Harvester {
public:
    explicit Harvester(const EventPatterns& patterns) : patterns_(patterns) {}
    Harvester(const Harvester&) = delete;
    Harvester& operator=(const Harvester&) = delete;

    // The database the harvest writes to; a harvest without one fails as it
    // begins.
    void SetDatabase(std::unique_ptr<PlayerDatabase> database) { database_ = std::move(database); }
    // Where the event text of the log's lines starts (LogModel::eventTextOffset).
    void SetEventTextOffset(int offset) { eventTextOffset_ = offset; }
    PlayerDatabase* database() const { return database_.get(); }

    // Opens the database, reads its two counts and empties the slots. A
    // DatabaseError or std::bad_alloc leaves Begin, HarvestLines and End for
    // the code that started the harvest.
    void Begin();
    // Harvests lines [from, to) of the log in one database step (one
    // transaction); a failure leaves the step open, and End commits what went
    // before it.
    void HarvestLines(const LogModel& log, int from, int to);
    // The same, a line at a time: the lines between BeginStep and CommitStep
    // form one step.
    void BeginStep() { database_->BeginStep(); }
    void HarvestLine(std::string_view line);
    void CommitStep() { database_->CommitStep(); }
    // Commits what is open and closes the database.
    void End();
    bool running() const { return running_; }

    // As the latest harvest left them; 0 before the first.
    const HarvestCounters& counters() const { return counters_; }
    // What each slot's latest ClientConnect line said in this harvest.
    const HarvestSlots& harvestSlots() const { return slots_; }

private:
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
};
