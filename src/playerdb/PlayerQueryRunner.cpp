#include "PlayerQueryRunner.h"

PlayerQueryRunner::PlayerQueryRunner(LookupFactory factory, QObject* parent)
    : QObject(parent), factory_(std::move(factory)), channel_(std::make_shared<Channel>()) {
    channel_->runner = this;
}

PlayerQueryRunner::~PlayerQueryRunner() {
    const std::lock_guard lock(channel_->mutex);
    channel_->runner = nullptr;
}

void PlayerQueryRunner::Cancel() {
    ++latest_;
    SetBusy(false);
}

void PlayerQueryRunner::Deliver(quint64 ticket, const std::function<void()>& call) {
    if (ticket != latest_) {
        return; // a newer look-up was asked for; its answer is the one awaited
    }
    SetBusy(false);
    call();
}

void PlayerQueryRunner::SetBusy(bool busy) {
    if (busy_ == busy) {
        return;
    }
    busy_ = busy;
    emit busyChanged(busy);
}
