#pragma once

#include "FollowerPlace.h"
#include "LogMarks.h"
#include "LogModel.h"
#include "Messages.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class LiveHarvest;
class LogFileWatcher;
class RotatedLogDrain;

// One open log file. The document owns the log's `LogModel` for as long as a
// window shows it; it never writes the file (there is no save of any kind).
// Documents are made and found through the `DocumentRegistry`, and shared by
// the windows that show them: the last window to close destroys the document,
// which releases the mapping and every line record.
//
// The document follows its file. Lines a writer appends are added and
// classified (continuing the tables), and `linesAppended` tells the views; a
// file truncated, rewritten or replaced under its name is loaded again from
// scratch and `reloaded` tells them; a deleted file keeps what was read. The
// classification belongs to the document: the lines are classified once,
// whichever view shows them.
class CQuarvelDoc : public QObject {
    Q_OBJECT

public:
    // The live harvest's waits: before the first new try at a database that
    // cannot be reached (doubled at every try that fails, up to the
    // longest), and the rotation grace unless set.
    static constexpr std::chrono::milliseconds kFirstReconnectWait{1000};
    static constexpr std::chrono::milliseconds kLongestReconnectWait{30000};
    static constexpr std::chrono::milliseconds kDefaultRotationGrace{5000};

    CQuarvelDoc();
    ~CQuarvelDoc() override;
    CQuarvelDoc(const CQuarvelDoc&) = delete;
    CQuarvelDoc& operator=(const CQuarvelDoc&) = delete;

    // Opens the log at `path`. Fails when the file cannot be opened for
    // reading (missing, a folder, no permission) or mapped (too large for the
    // address space left); an empty file still makes a document, with no
    // lines. From then on the file is watched. With a `firstByte`, the
    // document's lines start there (a follower going on where it stopped;
    // see LogStore::Load).
    bool Open(const QString& path, std::int64_t firstByte = 0);

    LogModel& model() { return model_; }
    const LogModel& model() const { return model_; }

    // The lines the user marked, shared by the log's windows and kept
    // across runs (LogMarks); a log loaded anew takes the marks kept for
    // what its file now holds.
    const LineSet& marks() const { return marks_.lines(); }
    void ToggleMark(int line);

    // The absolute path the log was opened under.
    const QString& path() const { return path_; }
    // The file name alone, which titles the document's windows.
    const QString& displayName() const { return displayName_; }
    // What tells two paths of one file apart from two files: the path with
    // links resolved, fixed when the document was opened.
    const QString& identity() const { return identity_; }

    // What happened to the file lately, for the status bar: "Log deleted"
    // while the path names no file, "Log truncated: reloaded" or "Log
    // replaced: reloaded" for a while after a reload, empty otherwise.
    const QString& fileStatus() const { return fileStatus_; }

    // Looks at the file now and follows what happened (the watcher calls it
    // whenever the file may have changed).
    void CheckFile();
    // File > Reload: reads the file again from scratch, whatever it holds,
    // and tells the views through `reloaded`. A path that names no file
    // keeps what was read and says "Log deleted"; false then, and while a
    // run that must keep the lines as they are goes on.
    bool Reload();

    // While one of these lives, changes of the file wait: a run that lets
    // the event loop turn between its steps (a database update) walks lines
    // that must stay what they are. The file is looked at again as the last
    // one goes.
    class ChangesDeferred {
    public:
        explicit ChangesDeferred(CQuarvelDoc& document);
        ~ChangesDeferred();
        ChangesDeferred(const ChangesDeferred&) = delete;
        ChangesDeferred& operator=(const ChangesDeferred&) = delete;

    private:
        CQuarvelDoc& document_;
    };

    // A log larger than its first part is loaded in slices with the event
    // loop turning between them, so that the window keeps repainting: each
    // slice splits more of the file and classifies what was split, and
    // loadProgressed tells the views. Changes of the file wait until the
    // whole log is in. What is not classified yet shows as plain text.
    bool loading() const { return loading_; }
    // How much of the log is classified, 0 to 1000.
    int loadedPermille() const;
    // Loads what is left at once, on two threads (see
    // LogModel::SplitAndClassifyRest), for a caller that cannot wait for
    // the slices.
    void FinishLoading();
    // Stops the loading for good: loadCancelled tells the windows, which
    // close.
    void CancelLoading();

    // Keeping the player database at `location` current with the log: every
    // line the log has and every line it gets are harvested, in batches of
    // one transaction each. A follower's harvest keeps its place under `key`
    // (LiveHarvest::KeepPlace). A database that cannot be reached is said
    // once (liveHarvestInterrupted) and tried again after 1 s, then after
    // twice as long each time up to 30 s, the harvest keeping its place in
    // the log until it is back (liveHarvestResumed). Any other failure turns
    // it off (see liveHarvestFailed).
    //
    // When the log's path comes to name another file (a rotation), the new
    // file is harvested from its beginning, and the old one is read on
    // through its open descriptor, and harvested, until it has not grown for
    // the rotation grace.
    void StartLiveHarvest(const std::string& location,
                          std::optional<FollowerKey> key = std::nullopt);
    void StopLiveHarvest();
    bool liveHarvestOn() const { return liveHarvest_ != nullptr; }
    // True when the live harvest has taken every line the log has, the
    // rotated files' included (or is off).
    bool liveHarvestUpToDate() const;
    // The live harvest's counters so far; zeros while it is off.
    HarvestCounters liveHarvestCounters() const;
    // The live harvest went on from a stored place: its byte offset, or -1.
    std::int64_t liveHarvestResumedAt() const;
    // How long a rotated file must stay unchanged before it is let go (5 s
    // unless set).
    void SetRotationGrace(std::chrono::milliseconds grace) { rotationGrace_ = grace; }

signals:
    // Lines `first` .. the model's lineCount() - 1 were appended (and are
    // classified when the log was).
    void linesAppended(int first);
    // The log was loaded again from scratch.
    void reloaded(FileChange why);
    void fileStatusChanged();
    // A batch of the live harvest was stored (none at the first connection
    // when there was nothing to harvest).
    void liveHarvestBatchStored(int lines);
    // The live harvest failed and is off; what was stored before stays.
    void liveHarvestFailed(const Message& message);
    void liveHarvestChanged();
    // The player database cannot be reached (the engine's words), or, with
    // `busy`, keeps giving the batch up for other writers' sake; the live
    // harvest keeps its place and tries again until it is back.
    void liveHarvestInterrupted(const QString& why, bool busy);
    void liveHarvestResumed();
    // What the database's upgrade said when the live harvest first wrote.
    void liveHarvestNotice(const QString& text);
    // A rotated file has been quiet for the grace and is let go, with the
    // lines harvested from it after the rotation.
    void rotatedLogDone(int lines);
    // A slice of the loading was done: more lines may be split (see
    // linesAppended) and classified.
    void loadProgressed();
    void loadFinished();
    void loadCancelled();
    // A mark was set or cleared, or the marks were read anew.
    void marksChanged();

private:
    void SetFileStatus(const QString& status, bool forAWhile);
    void HarvestPending();
    // A new harvest of the log's current file, kept by the document.
    std::unique_ptr<LiveHarvest> NewLiveHarvest();
    // After a batch: the harvest's state told, the next attempt planned.
    void AfterHarvest();
    void LiveHarvestFailed(const Message& message);
    // The log was loaded again: a rotated file is drained, a truncated one
    // harvested again from its start.
    void RestartLiveHarvest(FileChange why);
    void StartLoading();
    void LoadSlice();
    // Every byte split and every line classified.
    bool LoadComplete() const;
    // Tells the views (and the live harvest) what a slice brought, lines
    // split after `before` among it.
    void AnnounceLoaded(int before);
    void EndLoading();

    LogModel model_;
    LogMarks marks_;
    QString path_;
    QString displayName_;
    QString identity_;
    QString fileStatus_;
    std::unique_ptr<LogFileWatcher> watcher_;
    QTimer statusExpiry_;
    int deferrals_ = 0;
    bool checkPending_ = false;

    std::unique_ptr<LiveHarvest> liveHarvest_;
    std::string harvestLocation_;
    std::optional<FollowerKey> harvestKey_;
    QTimer harvestSoon_;
    // Reconnecting after an interruption: the next try, and the wait before
    // the one after it.
    QTimer reconnect_;
    std::chrono::milliseconds reconnectWait_;
    bool interruptionTold_ = false;
    // The rotated files still read (declared after model_: destroyed first).
    std::vector<std::unique_ptr<RotatedLogDrain>> drains_;
    std::unique_ptr<LogStore> replacedFile_; // where a rotated file goes
    std::chrono::milliseconds rotationGrace_;

    bool loading_ = false;
    QTimer loadSoon_;
    // Declared last: destroyed first, while what it touches still lives.
    std::optional<ChangesDeferred> loadDeferral_;
};
