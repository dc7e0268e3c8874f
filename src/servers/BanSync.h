#pragma once

#include "AppConfig.h"
#include "BanOutcome.h"
#include "BanRecordStore.h"
#include "BanSyncPlan.h"
#include "BanTime.h"
#include "Messages.h"
#include "PlayerQueryRunner.h"
#include "RconClient.h"

#include <QObject>
#include <forward_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BanRun;

// What a ban sync came to on one server.
struct BanSyncServerReport {
    std::string server; // its name, log bytes
    int sent = 0;       // bans asked of it
    int succeeded = 0;  // of those, carried out (or on its ban list already)
    int failed = 0;     // of those, not carried out, or not sent at all
    int held = 0;       // bans its latest recorded outcome says it holds already
    // The first failure, one line (UTF-8): "<GUID>: <what the server said>".
    std::string firstFailure;

    bool operator==(const BanSyncServerReport&) const = default;
};

// The line a sync prints and shows for a server (UTF-8): "Main: sent 2,
// succeeded 1, failed 1, already held 3 (first failure: <GUID>: No reply)".
std::string BanSyncReportLine(const BanSyncServerReport& report);

// Takes every active permanent ban of the player database to each configured
// server whose latest recorded outcome for it is not a success (one that was
// down when the ban was made, one added to the configuration since): the
// ban command of the ban flows (BanRun, with the ban's own reason, name and
// last known address), through an RCON client of its own; every server's
// outcome goes to the ban records as a ban's does, so that a server that
// carried it out is not asked again by the next sync.
//
// The plan is read off the calling thread (PlayerQueryRunner); the bans are
// sent kBansAtOnce at a time, each to its servers one after the other, the
// client keeping to each server's rate. Nothing of it holds the thread:
// `progressed` follows every answer and `finished` comes once, from the
// event loop. Deleting the sync cancels what is still due; the outcomes
// already answered stay recorded.
class BanSync : public QObject, private ServerOutcomeRecorder {
    Q_OBJECT

public:
    static constexpr int kBansAtOnce = 8;

    // The servers are copied. `lookups` reads the plan (the database at
    // `location` unless given).
    BanSync(const std::forward_list<ServerEntry>& servers, std::string location,
            QObject* parent = nullptr, PlayerQueryRunner::LookupFactory lookups = {});
    ~BanSync() override;

    // Who and when the records say; the login name and the local clock
    // unless set. Before Start.
    void SetRecordIdentity(std::string admin, BanClock clock);

    // Reads the plan and sends; a sync runs once.
    void Start();
    bool running() const { return running_; }

    // Set once finished. A failure before anything was sent (no server, a
    // database that cannot be read), UTF-8; empty when the sync ran.
    const std::string& error() const { return error_; }
    // One report a server, in list order.
    const std::vector<BanSyncServerReport>& reports() const { return reports_; }
    int permanentBans() const { return plan_.permanentBans; }
    // True when the sync ran and every server now holds every ban.
    bool EveryServerHoldsEveryBan() const;
    // When ban records were not stored: what was lost and why.
    std::optional<Message> RecordsFailure() const { return records_->FailureMessage(); }

signals:
    // `done` of `total` ban commands answered; (0, total) once the plan is read.
    void progressed(int done, int total);
    void finished();

private:
    struct Running;

    void Record(const ServerOutcomeRecord& record) override;
    void PlanRead(const QueryOutcome<BanSyncPlan>& outcome);
    void StartNext();
    void RunEnded(Running* running);
    void Fail(std::size_t server, const std::string& guid, const std::string& text);
    void Finish(std::string error = {});

    std::vector<ServerEntry> servers_;
    std::string location_;
    PlayerQueryRunner* reader_ = nullptr;
    std::unique_ptr<BanRecordStore> records_;
    RconClient client_;
    BanSyncPlan plan_;
    std::vector<BanSyncServerReport> reports_;
    std::size_t next_ = 0; // the next ban of the plan to start
    std::vector<std::unique_ptr<Running>> runningBans_;
    int done_ = 0;
    int total_ = 0;
    bool running_ = false;
    std::string error_;
};
