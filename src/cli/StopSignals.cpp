#include "StopSignals.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The two ends of the socket pair; the handler writes to the first. Only one
// StopSignals exists in quarvelctl at a time.
int stopSockets[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    // Nothing to do when the write fails: a byte is already waiting.
    [[maybe_unused]] const ssize_t written = ::write(stopSockets[0], &byte, 1);
}

} // namespace

StopSignals::StopSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, stopSockets) != 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(stopSockets[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(stopSockets[1], &byte, 1);
        emit stopRequested();
    });
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

StopSignals::~StopSignals() {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    notifier_.reset();
    for (int& fd : stopSockets) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}
