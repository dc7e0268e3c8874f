#include "StatementDeadline.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>

namespace {

constexpr std::chrono::seconds kDefaultLimit{60};

} // namespace

std::chrono::milliseconds StatementDeadline::DefaultLimit() {
    const char* text = std::getenv("QUARVEL_DB_DEADLINE");
    int seconds = 0;
    if (text != nullptr) {
        const char* end = text + std::strlen(text);
        const auto [at, status] = std::from_chars(text, end, seconds);
        if (status == std::errc() && at == end && seconds > 0) {
            return std::chrono::seconds(seconds);
        }
    }
    return kDefaultLimit;
}

StatementDeadline::~StatementDeadline() {
    if (watcher_.joinable()) {
        watcher_.request_stop();
        changed_.notify_all();
    }
}

void StatementDeadline::Arm(int socket, std::chrono::milliseconds limit) {
    {
        const std::lock_guard lock(mutex_);
        socket_ = socket;
        due_ = std::chrono::steady_clock::now() + limit;
        fired_ = false;
    }
    if (!watcher_.joinable()) {
        watcher_ = std::jthread([this](const std::stop_token& stop) { Watch(stop); });
    }
    changed_.notify_all();
}

bool StatementDeadline::Disarm() {
    const std::lock_guard lock(mutex_);
    socket_ = -1;
    return fired_;
}

void StatementDeadline::Watch(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        if (socket_ < 0) {
            changed_.wait(lock, stop, [this] { return socket_ >= 0; });
            continue;
        }
        const auto due = due_;
        if (changed_.wait_until(lock, stop, due,
                                [this, due] { return socket_ < 0 || due_ != due; })) {
            continue; // disarmed or armed again
        }
        if (socket_ >= 0 && std::chrono::steady_clock::now() >= due_) {
            // The library's wait on the socket returns at once, as for a
            // connection the server closed.
            ::shutdown(socket_, SHUT_RDWR);
            fired_ = true;
            socket_ = -1;
        }
    }
}
