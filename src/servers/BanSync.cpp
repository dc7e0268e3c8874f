#include "BanSync.h"

#include "BanFlow.h"
#include "BanStates.h"
#include "SqlPlayerLookup.h"
#include "Windows1252.h"

#include <algorithm>

namespace {

constexpr char kNoAddressText[] = "No address is known for this GUID: nothing was sent";

std::string OneLineText(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

} // namespace

// One ban on its way to the servers that lack it.
struct BanSync::Running {
    // The flow's messages are the results' texts, which the report shows.
    class Unshown final : public MessageSink {
    public:
        void Show(const Message&) override {}
    };

    Running(BanSync& sync, const BanSyncBan& ban)
        : ban(ban), reason(Utf8ToWindows1252(ban.state.reason)) {
        ServerOutcomeRecorder* recorder = &sync;
        std::forward_list<ServerEntry> servers;
        for (auto index = ban.servers.rbegin(); index != ban.servers.rend(); ++index) {
            servers.push_front(sync.servers_[*index]);
        }
        run = std::make_unique<BanRun>(BanAction::Ban, sync.client_, servers, ban.target, &reason,
                                       messages, recorder);
    }

    const BanSyncBan& ban;
    FixedBanReason reason;
    Unshown messages;
    std::unique_ptr<BanRun> run; // goes first: it uses the two above
};

std::string BanSyncReportLine(const BanSyncServerReport& report) {
    std::string line = Windows1252ToUtf8(report.server) + ": sent " + std::to_string(report.sent) +
                       ", succeeded " + std::to_string(report.succeeded) + ", failed " +
                       std::to_string(report.failed) + ", already held " +
                       std::to_string(report.held);
    if (!report.firstFailure.empty()) {
        line += " (first failure: " + report.firstFailure + ")";
    }
    return line;
}

BanSync::BanSync(const std::forward_list<ServerEntry>& servers, std::string location,
                 QObject* parent, PlayerQueryRunner::LookupFactory lookups)
    : QObject(parent), servers_(servers.begin(), servers.end()), location_(std::move(location)),
      records_(std::make_unique<BanRecordStore>(location_)) {
    if (!lookups && !location_.empty()) {
        lookups = SqlLookups(location_);
    }
    reader_ = new PlayerQueryRunner(std::move(lookups), this);
    for (const ServerEntry& server : servers_) {
        BanSyncServerReport report;
        report.server = server.name;
        reports_.push_back(std::move(report));
    }
}

BanSync::~BanSync() {
    runningBans_.clear(); // before the client and the records they use
}

void BanSync::SetRecordIdentity(std::string admin, BanClock clock) {
    records_ = std::make_unique<BanRecordStore>(location_, std::move(admin), std::move(clock));
}

bool BanSync::EveryServerHoldsEveryBan() const {
    return !running_ && error_.empty() && !reports_.empty() &&
           std::all_of(reports_.begin(), reports_.end(),
                       [](const BanSyncServerReport& report) { return report.failed == 0; });
}

void BanSync::Start() {
    running_ = true;
    std::string refusal;
    if (servers_.empty()) {
        refusal = "No servers configured";
    } else if (location_.empty()) {
        refusal = "No player database is configured.";
    }
    if (!refusal.empty()) {
        // Told from the event loop, as a sync that ran is.
        QMetaObject::invokeMethod(
            this, [this, refusal] { Finish(refusal); }, Qt::QueuedConnection);
        return;
    }
    std::vector<std::string> names;
    for (const ServerEntry& server : servers_) {
        names.push_back(Windows1252ToUtf8(server.name));
    }
    reader_->Run<BanSyncPlan>(
        [location = location_, names](PlayerLookup& lookup) {
            BanStates states(location);
            BanSyncPlan plan = ReadBanSyncPlan(states, lookup, names);
            states.Close();
            return plan;
        },
        [this](const QueryOutcome<BanSyncPlan>& outcome) { PlanRead(outcome); });
}

void BanSync::PlanRead(const QueryOutcome<BanSyncPlan>& outcome) {
    if (!outcome.value) {
        Finish("The bans could not be read: " + outcome.error);
        return;
    }
    plan_ = *outcome.value;
    for (std::size_t i = 0; i < reports_.size(); ++i) {
        reports_[i].held = plan_.held[i];
    }
    total_ = plan_.Requests();
    emit progressed(0, total_);
    StartNext();
}

void BanSync::StartNext() {
    while (runningBans_.size() < static_cast<std::size_t>(kBansAtOnce) &&
           next_ < plan_.bans.size()) {
        const BanSyncBan& ban = plan_.bans[next_++];
        if (ban.target.ip.empty()) {
            for (const std::size_t server : ban.servers) {
                ++reports_[server].sent;
                Fail(server, ban.state.guid, kNoAddressText);
            }
            done_ += static_cast<int>(ban.servers.size());
            emit progressed(done_, total_);
            continue;
        }
        auto running = std::make_unique<Running>(*this, ban);
        Running* started = running.get();
        connect(
            running->run.get(), &BanRun::finished, this, [this, started] { RunEnded(started); },
            Qt::QueuedConnection);
        runningBans_.push_back(std::move(running));
        started->run->Start();
    }
    if (runningBans_.empty() && next_ >= plan_.bans.size()) {
        Finish();
    }
}

void BanSync::Record(const ServerOutcomeRecord& record) {
    records_->Record(record);
    ++done_;
    emit progressed(done_, total_);
}

void BanSync::RunEnded(Running* running) {
    const BanSyncBan& ban = running->ban;
    const std::vector<ServerResult>& results = running->run->results();
    for (std::size_t i = 0; i < ban.servers.size(); ++i) {
        const std::size_t server = ban.servers[i];
        ++reports_[server].sent;
        if (i >= results.size()) {
            Fail(server, ban.state.guid, "nothing was sent");
            continue;
        }
        // A refusal is the server saying the GUID is on its ban list already.
        if (results[i].outcome == ServerOutcome::Done ||
            results[i].outcome == ServerOutcome::Refused) {
            ++reports_[server].succeeded;
        } else {
            Fail(server, ban.state.guid, results[i].message.text);
        }
    }
    const auto gone = std::find_if(runningBans_.begin(), runningBans_.end(),
                                   [running](const auto& held) { return held.get() == running; });
    if (gone != runningBans_.end()) {
        runningBans_.erase(gone);
    }
    StartNext();
}

void BanSync::Fail(std::size_t server, const std::string& guid, const std::string& text) {
    BanSyncServerReport& report = reports_[server];
    ++report.failed;
    if (report.firstFailure.empty()) {
        report.firstFailure = guid + ": " + OneLineText(text);
    }
}

void BanSync::Finish(std::string error) {
    error_ = std::move(error);
    records_->Close();
    running_ = false;
    emit finished();
}
