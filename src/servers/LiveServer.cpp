#include "LiveServer.h"

#include "ConfigValues.h"

#include <algorithm>

std::optional<KnownGuid> LiveServer::Remembered::Find(int slot, std::string_view ip) {
    const auto found = guids.find(std::make_pair(slot, std::string(ip)));
    if (found == guids.end()) {
        return std::nullopt;
    }
    return found->second;
}

LiveServer::LiveServer(RconClient& client, ServerEntry server, QObject* parent)
    : QObject(parent), client_(client), server_(std::move(server)), players_(this) {
    connect(&timer_, &QTimer::timeout, this, &LiveServer::PollNow);
}

LiveServer::~LiveServer() = default;

std::chrono::seconds LiveServer::interval() const {
    return std::chrono::seconds(std::max(server_.poll, kShortestPollSeconds));
}

void LiveServer::Start() {
    timer_.start(interval());
    PollNow();
}

void LiveServer::Stop() {
    timer_.stop();
    query_.reset();
}

void LiveServer::PollNow() {
    if (query_) {
        return;
    }
    std::vector<GuidSource*> sources = sources_;
    sources.push_back(&remembered_);
    query_ = std::make_unique<StatusQuery>(client_, server_, std::move(sources));
    query_->SetDeferredSource(deferred_);
    connect(query_.get(), &StatusQuery::finished, this, &LiveServer::Finished);
    query_->Start();
}

void LiveServer::Finished() {
    // The query is done with; it goes once its signal has returned (or with
    // this object, if that is sooner).
    StatusQuery* query = query_.release();
    query->setParent(this);
    query->deleteLater();
    ServerSnapshot snapshot = query->snapshot();
    if (snapshot.ok()) {
        lastAnswer_ = Clock::now();
        remembered_.guids.clear();
        for (const LivePlayer& player : snapshot.players) {
            if (player.guid.from == GuidFrom::Userinfo) {
                remembered_.guids.emplace(
                    std::make_pair(player.status.slot,
                                   std::string(AddressIp(player.status.address))),
                    player.guid);
            }
        }
        players_.SetPlayers(snapshot.players);
    }
    last_ = std::move(snapshot);
    emit polled();
}

QString AgeText(std::chrono::steady_clock::duration age) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(age).count();
    if (seconds < 60) {
        return QStringLiteral("%1 s").arg(std::max<long long>(seconds, 0));
    }
    if (seconds < 3600) {
        return QStringLiteral("%1 min").arg(seconds / 60);
    }
    return QStringLiteral("%1 h").arg(seconds / 3600);
}

QString LiveServer::StateText(Clock::time_point now) const {
    if (!last_) {
        return QStringLiteral("Asking...");
    }
    if (!last_->ok()) {
        const QString failure = QString::fromStdString(last_->failure);
        if (!lastAnswer_) {
            return failure;
        }
        return QStringLiteral("%1; last answer %2 ago").arg(failure, AgeText(now - *lastAnswer_));
    }
    return QStringLiteral("%1, answered %2 ago")
        .arg(QString::fromStdString(SnapshotSummary(*last_)),
             AgeText(now - lastAnswer_.value_or(now)));
}
