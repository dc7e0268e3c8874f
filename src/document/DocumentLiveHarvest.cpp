// The document's live harvest: its batches, its reconnecting, and the files
// a rotation leaves behind.
#include "CQuarvelDoc.h"
#include "LiveHarvest.h"
#include "RotatedLogDrain.h"
#include "SqlPlayerDatabase.h"

#include <algorithm>
#include <vector>

std::unique_ptr<LiveHarvest> CQuarvelDoc::NewLiveHarvest() {
    auto database = std::make_unique<SqlPlayerDatabase>(harvestLocation_);
    database->SetNotices(
        [this](const std::string& text) { emit liveHarvestNotice(QString::fromStdString(text)); });
    auto harvest = std::make_unique<LiveHarvest>(model_, std::move(database));
    if (harvestKey_) {
        harvest->KeepPlace(*harvestKey_);
    }
    return harvest;
}

void CQuarvelDoc::StartLiveHarvest(const std::string& location, std::optional<FollowerKey> key) {
    if (liveHarvest_) {
        return;
    }
    harvestLocation_ = location;
    harvestKey_ = std::move(key);
    liveHarvest_ = NewLiveHarvest();
    reconnectWait_ = kFirstReconnectWait;
    interruptionTold_ = false;
    harvestSoon_.start();
    emit liveHarvestChanged();
}

void CQuarvelDoc::StopLiveHarvest() {
    if (!liveHarvest_) {
        return;
    }
    harvestSoon_.stop();
    reconnect_.stop();
    liveHarvest_.reset(); // commits the batch in hand and closes
    drains_.clear();
    replacedFile_.reset();
    emit liveHarvestChanged();
}

bool CQuarvelDoc::liveHarvestUpToDate() const {
    return !liveHarvest_ || (liveHarvest_->upToDate() && drains_.empty());
}

HarvestCounters CQuarvelDoc::liveHarvestCounters() const {
    return liveHarvest_ ? liveHarvest_->counters() : HarvestCounters{};
}

std::int64_t CQuarvelDoc::liveHarvestResumedAt() const {
    return liveHarvest_ ? liveHarvest_->resumedAt() : -1;
}

void CQuarvelDoc::HarvestPending() {
    if (!liveHarvest_ || liveHarvest_->upToDate() ||
        (liveHarvest_->interrupted() && reconnect_.isActive())) {
        return;
    }
    const int before = liveHarvest_->harvested();
    if (const auto failure = liveHarvest_->HarvestMore(LiveHarvest::kBatchLines)) {
        LiveHarvestFailed(*failure);
        return;
    }
    AfterHarvest();
    if (!liveHarvest_->interrupted()) {
        emit liveHarvestBatchStored(liveHarvest_->harvested() - before);
    }
}

void CQuarvelDoc::AfterHarvest() {
    if (liveHarvest_->interrupted()) {
        if (!interruptionTold_) {
            interruptionTold_ = true;
            emit liveHarvestInterrupted(QString::fromStdString(liveHarvest_->interruption()),
                                        liveHarvest_->interruptionFault() ==
                                            DatabaseError::Fault::Conflict);
        }
        reconnect_.start(reconnectWait_);
        reconnectWait_ = std::min(reconnectWait_ * 2, kLongestReconnectWait);
        return;
    }
    reconnectWait_ = kFirstReconnectWait;
    if (interruptionTold_) {
        interruptionTold_ = false;
        emit liveHarvestResumed();
    }
    if (!liveHarvest_->upToDate()) {
        harvestSoon_.start();
    }
}

void CQuarvelDoc::LiveHarvestFailed(const Message& message) {
    harvestSoon_.stop();
    reconnect_.stop();
    liveHarvest_.reset();
    // Rotated files still read go on to their end: each fails on its own
    // if the database does.
    emit liveHarvestFailed(message);
    emit liveHarvestChanged();
}

void CQuarvelDoc::RestartLiveHarvest(FileChange why) {
    if (!liveHarvest_) {
        return;
    }
    std::unique_ptr<LogStore> rotated = std::move(replacedFile_);
    if (why == FileChange::Replaced && rotated && rotated->identity()) {
        // The harvest that followed the old file goes on with it, through
        // its descriptor; the new file gets a harvest of its own, from its
        // first line. The place now belongs to the new file.
        liveHarvest_->Rebind(*rotated);
        liveHarvest_->StopKeepingPlace();
        auto drain = std::make_unique<RotatedLogDrain>(std::move(rotated), std::move(liveHarvest_),
                                                       rotationGrace_);
        RotatedLogDrain* raw = drain.get();
        const auto letGo = [this, raw] {
            // Out of the drain's own slot before it goes.
            QTimer::singleShot(0, this, [this, raw] {
                std::erase_if(drains_, [raw](const auto& held) { return held.get() == raw; });
            });
        };
        connect(raw, &RotatedLogDrain::done, this, [this, letGo](int lines) {
            letGo();
            emit rotatedLogDone(lines);
        });
        connect(raw, &RotatedLogDrain::failed, this, [this, letGo](const Message& message) {
            letGo();
            LiveHarvestFailed(message);
        });
        drains_.push_back(std::move(drain));
        liveHarvest_ = NewLiveHarvest();
        reconnect_.stop();
        reconnectWait_ = kFirstReconnectWait;
        return;
    }
    if (const auto failure = liveHarvest_->Restart()) {
        LiveHarvestFailed(*failure);
    }
}
