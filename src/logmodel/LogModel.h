#pragma once

#include "EventPatterns.h"
#include "EventText.h"
#include "FileMapping.h"
#include "GuidTable.h"
#include "Harvester.h"
#include "LineStore.h"
#include "LoadStatus.h"
#include "LogLine.h"
#include "PlayerDatabase.h"
#include "PlayerSlotTable.h"
#include "SlotTimeline.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

using AliasMemos = std::array<AliasMemo, PlayerSlotTable::kSlotCount>;

// What a look at a followed log found (LogModel::Refresh).
enum class FileChange {
    None,      // nothing new
    Grew,      // lines were appended
    Truncated, // the file shrank or its first bytes changed: reloaded
    Replaced,  // the path names another file now (or again): reloaded
    Deleted,   // the path names no file any more: what was read stays
};

// Everything one open log needs: the mapped file and its line records, the
// player and GUID tables the classification keeps, the event patterns and
// the state of the walk over the lines. Each document owns exactly one.
//
// A log is classified once: lines are classified in order, each exactly
// once, continuing the tables where the last one left them, whoever asks
// (the first view, a walk, the growth of the file). A reload starts again
// from empty tables.
class LogModel {
public:
    // BeginWalk modes.
    static constexpr int kClassify = 0;
    static constexpr int kHarvest = 1;

    LogModel();
    ~LogModel();
    LogModel(const LogModel&) = delete;
    LogModel& operator=(const LogModel&) = delete;

    // Maps and splits the file. True when the load status ends at 0; a file
    // that cannot be opened or mapped leaves no lines and says why in
    // loadStatus(). The tables start empty and no line is classified.
    bool Load(const std::string& path);
    // The same, splitting only about the first `bytes` of the file (whole
    // lines, at least one when the file holds one); SplitMore or
    // SplitAndClassifyRest split the rest.
    bool Load(const std::string& path, std::int64_t bytes);
    // Splits about `bytes` more of the loaded file (at least one more line
    // when there is one). True while bytes of the file remain unsplit.
    bool SplitMore(std::int64_t bytes);
    // Every byte of the file as loaded or last refreshed has been split.
    bool fullySplit() const { return scanned_ >= fileSize_; }
    // Splits whatever is left on a second thread while this one classifies
    // every line behind it: a large log is ready in the time of the slower
    // of the two rather than of both. Returns with every line split and
    // classified; a std::bad_alloc on either thread leaves here once both
    // have stopped.
    void SplitAndClassifyRest();
    // Releases the mapping; the line pages stay for a later load.
    void Close();

    // Looks at the file again and follows what happened to it: appended
    // lines are split and added (not classified yet); a file that shrank,
    // whose first bytes changed or whose path now names another file is
    // loaded again from scratch; a path that names no file any more leaves
    // what was read, until a file appears there again. A file that could not
    // be loaded (missing, empty) is loaded once it can be.
    FileChange Refresh();
    // The path the log was loaded from.
    const std::string& path() const { return path_; }
    // True while the path names no file.
    bool deleted() const { return deleted_; }

    // Line i, 0 <= i < lineCount(): its bytes, segments and visible columns.
    // A line not classified yet is one plain stretch.
    LineView Line(int i) const;
    // Only the bytes of line i.
    std::string_view LineText(int i) const {
        return {file_.data() + lines_.Offset(i), static_cast<std::size_t>(lines_.ByteLength(i))};
    }
    // The columns line i shows: its byte length unless a colour code hides
    // some of its bytes, which needs a caret.
    int VisibleLength(int i) const;
    const LineStore& lineStore() const { return lines_; }

    // NotLoaded before any load, then Loaded or why the load failed.
    LoadStatus loadStatus() const { return loadStatus_; }
    std::int64_t fileSize() const { return fileSize_; }
    int lineCount() const { return lines_.lineCount(); }

    // Where the event text of this log's lines starts: the width of its time
    // stamps, 8 for most logs and 7 for those of other games of the engine,
    // found from its first lines.
    int eventTextOffset() const { return eventTextOffset_; }

    // Lines 0 .. classifiedCount() - 1 are classified.
    int classifiedCount() const { return classifiedCount_; }
    bool IsClassified(int i) const { return i < classifiedCount_; }
    // Classifies the lines from classifiedCount() up to, not including,
    // `end` (at most lineCount()).
    void ClassifyUpTo(int end);

    // A walk over the lines in steps, so a caller can show progress. Steps
    // below 1 ask for the default: a thousandth of the lines, at least 100.
    // Mode kClassify classifies the lines not classified yet (every line of a
    // log just loaded; none once the log is classified); kHarvest harvests
    // every line instead. Returns the number of steps planned; the walk may
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

    const PlayerSlotTable& playerSlots() const { return *playerSlots_; }
    const GuidTable& guidTable() const { return *guidTable_; }

    // The patterns the classification matches event payloads with; every
    // harvest of the log uses them too.
    const EventPatterns& eventPatterns() const { return patterns_; }

    // The database a harvest walk writes to, kept for the document's later
    // runs. A harvest walk without one fails as it begins.
    void SetPlayerDatabase(std::unique_ptr<PlayerDatabase> database) {
        harvester_.SetDatabase(std::move(database));
    }
    PlayerDatabase* playerDatabase() const { return harvester_.database(); }

    // What the document's latest harvest walk counted. They keep their
    // values after the walk; before the first one they are 0.
    std::int32_t guidsNew() const { return harvester_.counters().guidsNew; }
    std::int32_t guidsTotal() const { return harvester_.counters().guidsTotal; }
    std::int32_t playersNew() const { return harvester_.counters().playersNew; }
    std::int32_t playersTotal() const { return harvester_.counters().playersTotal; }

    // What each slot's latest ClientConnect line said in the latest harvest
    // walk.
    const HarvestSlots& harvestSlots() const { return harvester_.harvestSlots(); }

private:
    // Loads the file at path_ from scratch: a fresh mapping, no lines, empty
    // tables.
    void ResetClassification();
    // Splits what the file holds past the last line end split so far, and
    // finds the stamp width from the first lines once there are some.
    void SplitNewBytes();
    // Splits up to `limit`, moving it on as needed to take at least one
    // line when one lies beyond splitEnd_. Returns the lines added.
    int SplitUpTo(std::int64_t limit);
    void DetectStampWidth();
    void Reload(std::int64_t bytes);
    // Remembers a hash of the file's first bytes, to tell a rewritten file
    // from a grown one.
    void RememberHead();
    bool HeadChanged() const;
    // The walk's part of a line: what it changes in the tables.
    void WalkLine(int i);
    // The segments of a classified line, laid from its bytes and the tables'
    // history at it.
    void LaySegments(int i, LineView& line) const;

    std::string path_;
    FileMapping file_;
    LineStore lines_;
    LoadStatus loadStatus_ = LoadStatus::NotLoaded;
    std::int64_t fileSize_ = 0;
    // Where the next line begins: bytes from here on hold no LF yet, as far
    // as the split has looked (up to scanned_).
    std::int64_t splitEnd_ = 0;
    std::int64_t scanned_ = 0;
    std::optional<FileIdentity> identity_;
    int eventTextOffset_ = kEventTextOffset;
    bool stampDetected_ = false;
    std::size_t headLength_ = 0;
    std::uint64_t headHash_ = 0;
    bool deleted_ = false;

    std::unique_ptr<PlayerSlotTable> playerSlots_;
    std::unique_ptr<GuidTable> guidTable_;
    SlotTimeline timeline_;
    ChatNameSlots chatSlots_;
    EventPatterns patterns_;
    int classifiedCount_ = 0;

    int linesPerStep_ = 1;
    int nextLine_ = 0;
    int walkEnd_ = 0;
    int stepsDone_ = 0;
    bool harvestMode_ = false;

    // Scratch of the line being walked: the groups of the pattern that
    // matched it.
    PatternGroups eventGroups_;
    // The GUID and name each slot last gave the GUID table: a slot that sends
    // the same name again (a team change, say) adds nothing, and is not
    // looked up again.
    AliasMemos aliasMemos_{};

    Harvester harvester_{patterns_};
};
