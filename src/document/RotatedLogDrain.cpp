#include "RotatedLogDrain.h"

#include "CQuarvelDoc.h"
#include "LiveHarvest.h"
#include "LogStore.h"

#include <algorithm>

namespace {

// How often the file is looked at: the grace is kept to within this.
constexpr int kLookIntervalMs = 200;

} // namespace

RotatedLogDrain::RotatedLogDrain(std::unique_ptr<LogStore> file,
                                 std::unique_ptr<LiveHarvest> harvest,
                                 std::chrono::milliseconds grace)
    : file_(std::move(file)), harvest_(std::move(harvest)), grace_(grace),
      lastGrowth_(std::chrono::steady_clock::now()), nextTry_(lastGrowth_),
      retryWait_(CQuarvelDoc::kFirstReconnectWait), harvestedAtRotation_(harvest_->harvested()) {
    everyLook_.setInterval(kLookIntervalMs);
    connect(&everyLook_, &QTimer::timeout, this, &RotatedLogDrain::Look);
    everyLook_.start();
    // What the harvest had not taken yet is taken at once.
    QTimer::singleShot(0, this, &RotatedLogDrain::Look);
}

RotatedLogDrain::~RotatedLogDrain() = default;

void RotatedLogDrain::Look() {
    if (over_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    const FileChange change = file_->ReadGrowth();
    if (change == FileChange::Grew) {
        lastGrowth_ = now;
    }
    // Rewritten from its start: what it holds now is no longer the log that
    // was rotated.
    const bool rewritten = change == FileChange::Truncated;
    if (now >= nextTry_) {
        while (!harvest_->upToDate()) {
            if (const auto failure = harvest_->HarvestMore(LiveHarvest::kBatchLines)) {
                over_ = true;
                emit failed(*failure);
                return;
            }
            if (harvest_->interrupted()) {
                nextTry_ = now + retryWait_;
                retryWait_ = std::min(retryWait_ * 2, CQuarvelDoc::kLongestReconnectWait);
                return;
            }
        }
        retryWait_ = CQuarvelDoc::kFirstReconnectWait;
    }
    if (harvest_->upToDate() && (rewritten || now - lastGrowth_ >= grace_)) {
        over_ = true;
        everyLook_.stop();
        emit done(harvest_->harvested() - harvestedAtRotation_);
    }
}
