#pragma once

#include "AppConfig.h"
#include "Messages.h"

class QObject;
class RconSocket;

// What a reply wait ended with.
struct WaitOutcome {
    bool answered =
        false;       // the server refused or carried out the command: read the socket's result
    Message failure; // otherwise, what the user is told; its caption is the server's name
};

// The waiting window of the RCON reply wait: it owns the wait's one-second
// timer and the timed-out flag. A window becomes one by deriving from it
// (after its QObject base) and passing its timer events to OnTimer:
//
//     class CPlayerInfoDlg : public QDialog, public ReplyWaiter {
//         CPlayerInfoDlg() : ReplyWaiter(static_cast<QObject&>(*this)) {}
//         void timerEvent(QTimerEvent* e) override { OnTimer(e->timerId()); QDialog::timerEvent(e);
//         }
//     };
//
// During a wait every event of the thread keeps being dispatched, so the
// window and the rest of the program stay live; the window must not start a
// second wait meanwhile (they would share the timer) and must outlive the wait.
class ReplyWaiter {
public:
    static constexpr int kReplyTimeoutMs = 1000;

    explicit ReplyWaiter(QObject& timerOwner) : timerOwner_(timerOwner) {}
    virtual ~ReplyWaiter() = default;
    ReplyWaiter(const ReplyWaiter&) = delete;
    ReplyWaiter& operator=(const ReplyWaiter&) = delete;

    // Waits for the reply to the request just sent on `socket`: dispatches
    // events, polls the socket, and ends on a classified reply, a socket
    // failure or the time-out. Shows nothing.
    WaitOutcome AwaitReply(RconSocket& socket, const ServerEntry& server);

    // AwaitReply, showing the failure: 1 when the reply was classified as
    // refused or done (read socket.result()), else 0 after the message.
    int WaitForReply(RconSocket& socket, const ServerEntry& server, MessageSink& messages);

    // The timer handler: stops the reply timer and sets the timed-out flag
    // when `timerId` is the reply timer's. True when it was.
    bool OnTimer(int timerId);

    int timerId() const { return timerId_; }
    bool timedOut() const { return timedOut_; }

private:
    void StopTimer();

    QObject& timerOwner_;
    int timerId_ = 0; // of the running reply timer; 0 when none runs
    bool timedOut_ = false;
};
