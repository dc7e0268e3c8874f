#pragma once

#include "EventPatterns.h"
#include "EventText.h"
#include "FileMapping.h"
#include "GuidTable.h"
#include "LineStore.h"
#include "PlayerSlotTable.h"

#include <cstdint>
#include <string>

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

private:
    // The harvest of a walk in harvest mode (Harvest.cpp).
    void BeginHarvest();
    void HarvestLine(int i);
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
};
