#include "ReplyWaiter.h"

#include "PumpMessages.h"
#include "RconSocket.h"
#include "Windows1252.h"

#include <QAbstractEventDispatcher>
#include <QDeadlineTimer>
#include <QObject>
#include <QScopeGuard>
#include <QTimer>
#include <string>

using enum PollStatus;
using enum RconResult;

namespace {

WaitOutcome Failure(std::string text, const ServerEntry& server, MessageIcon icon) {
    return {false, Message{std::move(text), Windows1252ToUtf8(server.name), icon}};
}

// The end of a wait that did not time out, by the poll status and the result.
WaitOutcome Finish(PollStatus status, const RconSocket& socket, const ServerEntry& server) {
    switch (status) {
    case POLL_OVERFLOW:
        return Failure("Too many messages received", server, MessageIcon::Error);
    case POLL_CLOSED:
        return Failure("Connection was closed", server, MessageIcon::Error);
    case POLL_RECEIVE_ERROR:
        return Failure("ReceiveFrom ERROR " + std::to_string(socket.receiveError()), server,
                       MessageIcon::Error);
    case POLL_OK:
        switch (socket.result()) {
        case RCON_REFUSED:
        case RCON_DONE:
            return {true, {}};
        case RCON_BAD_REPLY:
            return Failure("Bad reply", server, MessageIcon::Error);
        case RCON_BAD_PASSWORD:
            return Failure("Invalid RCON password", server, MessageIcon::Warning);
        default:
            return Failure("Unknown result: " + std::to_string(RconCode(socket.result())), server,
                           MessageIcon::Error);
        }
    default:
        return Failure("Unknown result: " + std::to_string(RconCode(status)), server,
                       MessageIcon::Error);
    }
}

} // namespace

WaitOutcome ReplyWaiter::AwaitReply(RconSocket& socket, const ServerEntry& server) {
    timedOut_ = false;
    timerId_ = timerOwner_.startTimer(kReplyTimeoutMs, Qt::PreciseTimer);
    // Should the owner's timer not start (the owner belongs to another
    // thread), a timer of this thread stands in for it. With no event loop in
    // this thread at all there is nothing to dispatch: the wait then sleeps on
    // the socket up to its own deadline.
    QTimer standIn;
    if (timerId_ == 0 && QAbstractEventDispatcher::instance()) {
        standIn.setSingleShot(true);
        standIn.setTimerType(Qt::PreciseTimer);
        QObject::connect(&standIn, &QTimer::timeout, [this] { timedOut_ = true; });
        standIn.start(kReplyTimeoutMs);
    }
    const bool timerWakesEventLoop = timerId_ != 0 || standIn.isActive();
    const QDeadlineTimer deadline(kReplyTimeoutMs, Qt::PreciseTimer);
    socket.SetWakesEventLoop(true);
    const QScopeGuard stopWaking([&socket] { socket.SetWakesEventLoop(false); });

    PollStatus status = POLL_OK;
    for (bool first = true;; first = false) {
        if (first) {
            // A reply already queued is read at once.
            PumpMessages();
        } else if (!timerWakesEventLoop) {
            socket.WaitReadable(static_cast<int>(deadline.remainingTime()));
            PumpMessages();
            timedOut_ = timedOut_ || deadline.hasExpired();
        } else {
            // Sleeps until the socket, the timer or anything else wakes it.
            WaitAndPumpMessages();
        }
        status = socket.Poll();
        if (status != POLL_OK || socket.result() != RCON_PENDING) {
            break;
        }
        if (timedOut_) {
            StopTimer();
            return Failure("No reply", server, MessageIcon::Error);
        }
    }
    StopTimer();
    timedOut_ = true;
    return Finish(status, socket, server);
}

int ReplyWaiter::WaitForReply(RconSocket& socket, const ServerEntry& server,
                              MessageSink& messages) {
    const WaitOutcome outcome = AwaitReply(socket, server);
    if (!outcome.answered) {
        messages.Show(outcome.failure);
        return 0;
    }
    return 1;
}

bool ReplyWaiter::OnTimer(int timerId) {
    if (timerId_ == 0 || timerId != timerId_) {
        return false;
    }
    StopTimer();
    timedOut_ = true;
    return true;
}

void ReplyWaiter::StopTimer() {
    if (timerId_ != 0) {
        timerOwner_.killTimer(timerId_);
        timerId_ = 0;
    }
}
