#pragma once

#include "Harvester.h"
#include "LogClassifier.h"
#include "LogLine.h"
#include "LogStore.h"
#include "PlayerDatabase.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// What a walk over the lines does.
enum class WalkMode {
    Classify, // classifies the lines not classified yet
    Harvest,  // harvests every line into the player database
};

// Everything one open log needs, each job in its own part: the store (the
// mapped file and where its lines start), the classifier (the player and
// GUID tables the lines build, with their history), the harvester (the
// player database a harvest writes to) and the state of the walk over the
// lines. Each document owns exactly one.
//
// A log is classified once: lines are classified in order, each exactly
// once, continuing the tables where the last one left them, whoever asks
// (the first view, a walk, the growth of the file). A load starts from
// empty tables; a reload of a file that changed under its path (a rotated
// log) starts with the players its slots held (LogClassifier::
// RestartKeepingPlayers).
class LogModel {
public:
    LogModel() = default;
    LogModel(const LogModel&) = delete;
    LogModel& operator=(const LogModel&) = delete;

    // Maps and splits the file. True when it is loaded; a file
    // that cannot be opened or mapped leaves no lines and says why in
    // loadStatus(). The tables start empty and no line is classified.
    bool Load(const std::string& path);
    // The same, splitting only about the first `bytes` of the file (whole
    // lines, at least one when the file holds one); SplitMore or
    // SplitAndClassifyRest split the rest. With a `firstByte`, the lines
    // start there (see LogStore::Load).
    bool Load(const std::string& path, std::int64_t bytes, std::int64_t firstByte = 0);
    // Splits about `bytes` more of the loaded file (at least one more line
    // when there is one). True while bytes of the file remain unsplit.
    bool SplitMore(std::int64_t bytes);
    // Every byte of the file as loaded or last refreshed has been split.
    bool fullySplit() const { return store_.fullySplit(); }
    // Splits whatever is left on a second thread while this one classifies
    // every line behind it: a large log is ready in the time of the slower
    // of the two rather than of both. Returns with every line split and
    // classified; a std::bad_alloc on either thread leaves here once both
    // have stopped.
    void SplitAndClassifyRest();
    // Releases the mapping and the lines; the load status stays.
    void Close() { store_.Close(); }

    // Looks at the file again and follows what happened to it: appended
    // lines are split and added (not classified yet); a file that shrank,
    // whose first bytes changed or whose path now names another file is
    // loaded again from scratch, its slots keeping their players; a path
    // that names no file any more leaves what was read, until a file appears
    // there again. A file that could not be loaded (missing, empty) is loaded
    // once it can be. A file renamed away is read on through its descriptor
    // until another file takes its path; the file it was then goes to
    // `replaced`, when one is given.
    FileChange Refresh(LogStore* replaced = nullptr);
    // The path the log was loaded from.
    const std::string& path() const { return store_.path(); }
    // True while the path names no file.
    bool deleted() const { return store_.deleted(); }

    // Line i, 0 <= i < lineCount(): its bytes, segments and visible columns.
    // A line not classified yet is one plain stretch.
    LineView Line(int i) const;
    // Only the bytes of line i; of a line longer than LineStore::kMaxLineBytes
    // (2 GiB), only as many, since offsets and columns within a line are
    // 32-bit: what Line(i) shows of it, what a search and a copy read.
    std::string_view LineText(int i) const { return store_.LineText(i); }
    // Every byte of line i, however long: for what writes a line out whole.
    std::string_view WholeLineText(int i) const { return store_.WholeLineText(i); }
    // The columns line i shows: its byte length unless a colour code hides
    // some of its bytes, which needs a caret.
    int VisibleLength(int i) const;
    const LineStore& lineStore() const { return store_.lines(); }
    const LogStore& store() const { return store_; }
    // Every byte of the file as loaded or last refreshed, split or not; good
    // until the log next changes.
    std::string_view FileBytes() const { return store_.FileBytes(); }
    // How many times the log has been loaded from scratch (its first load,
    // then every reload of a rewritten or replaced file): a reader that
    // remembers lines sees it change when they are gone.
    int reloads() const { return store_.reloads(); }
    // Reads the file's bytes [from, to) into memory ahead of their use.
    void ReadAhead(std::int64_t from, std::int64_t to) const { store_.ReadAhead(from, to); }
    // Copies the file's bytes from `from` on as they read now
    // (FileMapping::ReadAt): for one pass over them.
    std::optional<std::size_t> ReadAt(std::int64_t from, std::size_t length, char* into) const {
        return store_.ReadAt(from, length, into);
    }

    // NotLoaded before any load, then Loaded or why the load failed.
    LoadStatus loadStatus() const { return store_.loadStatus(); }
    std::int64_t fileSize() const { return store_.fileSize(); }
    int lineCount() const { return store_.lineCount(); }

    // Where the event text of this log's lines starts: the width of its time
    // stamps, 8 for most logs and 7 for those of other games of the engine,
    // found from its first lines.
    int eventTextOffset() const { return store_.eventTextOffset(); }

    // Lines 0 .. classifiedCount() - 1 are classified.
    int classifiedCount() const { return classifier_.classifiedCount(); }
    bool IsClassified(int i) const { return i < classifier_.classifiedCount(); }
    // Classifies the lines from classifiedCount() up to, not including,
    // `end` (at most lineCount()).
    void ClassifyUpTo(int end);

    // A walk over the lines in steps, so a caller can show progress. Steps
    // below 1 ask for the default: a thousandth of the lines, at least 100.
    // WalkMode::Classify classifies the lines not classified yet (every line
    // of a log just loaded; none once the log is classified); Harvest
    // harvests every line instead. Returns the number of steps planned; the walk may
    // take fewer, since every step but the last covers the same number of
    // lines.
    int BeginWalk(int steps, WalkMode mode);
    // Processes the next step's lines; returns the steps done so far, or -1
    // once every line has been processed.
    int WalkStep();
    void EndWalk();
    // The whole walk at once, for callers that show no progress; a walk
    // that fails is ended before the failure leaves.
    void WalkAll(WalkMode mode);
    // In harvest mode BeginWalk opens the player database and reads its two
    // counts, each WalkStep writes its lines in one database step, and EndWalk
    // commits what is open and closes the database. A DatabaseError or
    // std::bad_alloc leaves BeginWalk or WalkStep for the code that started
    // the run; EndWalk ends harvest mode even when closing fails.

    int linesPerStep() const { return linesPerStep_; }
    int nextLine() const { return nextLine_; }
    int stepsDone() const { return stepsDone_; }
    bool harvestMode() const { return harvestMode_; }

    const PlayerSlotTable& playerSlots() const { return classifier_.playerSlots(); }
    // The history of the slots and the slots chat names resolved to, over the
    // classified lines.
    const SlotTimeline& slotTimeline() const { return classifier_.slotTimeline(); }
    const ChatNameSlots& chatNameSlots() const { return classifier_.chatNameSlots(); }
    // The event line i holds (classified or not: its bytes alone decide).
    LineEvent RecognisedEvent(int i) const {
        return classifier_.RecognisedEvent(LineText(i), eventTextOffset());
    }
    const GuidTable& guidTable() const { return classifier_.guidTable(); }

    // The patterns the classification matches event payloads with; every
    // harvest of the log uses them too.
    const EventPatterns& eventPatterns() const { return classifier_.eventPatterns(); }

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
    // After the store loaded its file again: no walk, empty tables, or
    // with `keepPlayers` the slots' players as they were.
    void ResetClassification(bool keepPlayers);

    LogStore store_;
    LogClassifier classifier_;

    int linesPerStep_ = 1;
    int nextLine_ = 0;
    int walkEnd_ = 0;
    int stepsDone_ = 0;
    bool harvestMode_ = false;

    Harvester harvester_{classifier_.eventPatterns()};
};
