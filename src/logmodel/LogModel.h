#pragma once

#include "EventPatterns.h"
#include "EventText.h"
#include "FileMapping.h"
#include "GuidTable.h"
#include "HarvestMemo.h"
#include "HarvestSlot.h"
#include "LineStore.h"
#include "PlayerDatabase.h"
#include "PlayerSlotTable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Everything one open log needs: the mapped file and its line records, the
// player and GUID tables the classification keeps, the event patterns and
// the state of the walk over the lines. Each document owns exactly one.
class LogModel {
public:
    // BeginWalk modes.
    static constexpr int kClassify = 0;
    static constexpr int kHarvest = 1;

    LogModel() = default;
    ~LogModel();
    LogModel(const LogModel&) = delete;
    LogModel& operator=(const LogModel&) = delete;

    // Maps and splits the file. True when the load status ends at 0; a file
    // that cannot be opened or mapped leaves no lines and says why in
    // loadStatus().
    bool Load(const std::string& path);
    // Releases the mapping; the line pages stay for a later load.
    void Close();

    LogLine& Line(int i) { return lines_.Line(i); }
    const LineStore& lineStore() const { return lines_; }

    // 1 before any load; 0 loaded; -1 open failed; -2 mapping failed (an
    // empty file among others); -3 view failed.
    int loadStatus() const { return loadStatus_; }
    std::int64_t fileSize() const { return fileSize_; }
    int lineCount() const { return lineCount_; }

    // Fills the segments, visible positions and player links of line i and
    // follows the players it names in the tables.
    void ClassifyLine(int i);

    // A walk over every line in steps, so a caller can show progress. Steps
    // below 1 ask for the default: a thousandth of the lines, at least 100.
    // Mode kClassify classifies the lines; kHarvest hands them to the
    // harvest instead. Returns the number of steps planned; the walk may
    // take fewer, since every step but the last covers the same number of
    // lines.
    int BeginWalk(int steps, int mode);
    // Processes the next step's lines; returns the steps done so far, or -1
    // once every line has been processed.
    int WalkStep();
    void EndWalk();
    // In harvest mode BeginWalk opens the player database and reads its two
    // counts, each WalkStep writes its lines in one database step, and EndWalk
    // commits what is open and closes the database. A DatabaseError or
    // std::bad_alloc leaves BeginWalk or WalkStep for the code that started
    // the run; EndWalk ends harvest mode even when closing fails.

    int linesPerStep() const { return linesPerStep_; }
    int nextLine() const { return nextLine_; }
    int stepsDone() const { return stepsDone_; }
    bool harvestMode() const { return harvestMode_; }

    // The tables carry over from one walk to the next: a second view on the
    // same document walks again from the slots the first walk left.
    const PlayerSlotTable& playerSlots() const { return playerSlots_; }
    const GuidTable& guidTable() const { return guidTable_; }

    // The harvest matches ClientConnect and ClientUserinfoChanged payloads
    // with the same compiled patterns the classification uses.
    const EventPatterns& eventPatterns() const { return patterns_; }
    const boost::regex& connectionPattern() const { return patterns_.connectionPattern(); }
    const boost::regex& userInfoPattern() const { return patterns_.userInfoPattern(); }

    // The database a harvest walk writes to, kept for the document's later
    // runs. A harvest walk without one fails as it begins.
    void SetPlayerDatabase(std::unique_ptr<PlayerDatabase> database);
    PlayerDatabase* playerDatabase() const { return playerDatabase_.get(); }

    // What the document's latest harvest run counted: rows it added, and the
    // tables' rows when it began plus those. They keep their values after
    // the run; before the first one they are 0.
    std::int32_t guidsNew() const { return guidsNew_; }
    std::int32_t guidsTotal() const { return guidsTotal_; }
    std::int32_t playersNew() const { return playersNew_; }
    std::int32_t playersTotal() const { return playersTotal_; }

    // What each slot's latest ClientConnect line said, over every harvest
    // run of the document so far.
    const HarvestSlots& harvestSlots() const { return harvestSlots_; }

private:
    // The harvest of a walk in harvest mode (Harvest.cpp).
    void BeginHarvest();
    void HarvestLine(int i);
    bool HarvestConnect(std::string_view payload);
    bool HarvestUserinfo(std::string_view payload);
    void EndHarvest();

    LineStore lines_;
    FileMapping file_;
    int loadStatus_ = 1;
    std::int64_t fileSize_ = 0;
    int lineCount_ = 0;

    PlayerSlotTable playerSlots_;
    GuidTable guidTable_;
    EventPatterns patterns_;

    int linesPerStep_ = 1;
    int nextLine_ = 0;
    int stepsDone_ = 0;
    bool harvestMode_ = false;

    // Scratch of the line being classified: its event text and the groups of
    // the pattern that matched it.
    EventTextBuffer eventText_{};
    boost::cmatch eventGroups_;

    std::unique_ptr<PlayerDatabase> playerDatabase_;
    HarvestSlots harvestSlots_{};
    std::int32_t guidsNew_ = 0;
    std::int32_t guidsTotal_ = 0;
    std::int32_t playersNew_ = 0;
    std::int32_t playersTotal_ = 0;
    // The harvest's own scratch: the line's event text, the pattern's groups
    // and the sighting being stored, reused from line to line.
    EventTextBuffer harvestText_{};
    boost::cmatch harvestGroups_;
    PlayerSighting sighting_;
    HarvestMemo harvestMemo_;
};
