#pragma once

#include "RconCodes.h"
#include "RconCommand.h"

#include <QSocketNotifier>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// One RCON command to one game server and its replies: a non-blocking IPv4
// datagram socket bound to any local address and a port the system picks.
// Made for one request, then destroyed: construct, send, wait (ReplyWaiter),
// read result(), destroy.
//
// Replies are fetched by polling. During a wait a read notifier lets the
// thread's event loop wake when a datagram arrives, so the wait can sleep in
// the event loop instead of spinning.
class RconSocket {
public:
    static constexpr int kReplySlots = 256;
    static constexpr std::size_t kReplyBytes = 255; // data bytes of a slot; a zero follows
    static constexpr int kStraysPerPoll = 1024;     // foreign datagrams one poll drops at most

    // Creation or binding failures are not reported here: the socket is left
    // invalid and the first receive of the wait fails.
    RconSocket(std::string_view hostAddress, int port, std::string_view password);
    virtual ~RconSocket();
    RconSocket(const RconSocket&) = delete;
    RconSocket& operator=(const RconSocket&) = delete;

    // Reads every datagram waiting into the reply slots; a status from
    // RconCodes.h. A datagram longer than a slot is cut to it. Only
    // datagrams from the address and port the request went to are replies:
    // any other is dropped unseen. Derived classes classify the first reply
    // once it is in.
    virtual PollStatus Poll();

    RconResult result() const { return result_; }
    int replyCount() const { return replyCount_; }
    // The bytes of reply slot `slot` (below replyCount()).
    std::string_view Reply(int slot) const;
    // The last request datagram, also when it could not be sent.
    const std::string& command() const { return command_; }
    // Why the last request was refused (SEND_REFUSED); UTF-8.
    const std::string& refusal() const { return refusal_; }
    // The socket layer's error number of the receive that failed.
    int receiveError() const { return receiveError_; }
    bool valid() const { return socket_ >= 0; }
    // The local port replies come to; 0 for an invalid socket.
    int localPort() const;

    // Whether a datagram arriving wakes the thread's event loop. Only a wait
    // wants that: a reply nobody reads would otherwise keep waking the loop
    // (a message box shown after the wait would spin the processor).
    void SetWakesEventLoop(bool wakes);
    bool wakesEventLoop() const;

    // Sleeps until a datagram can be read or `milliseconds` have passed. For
    // waits that have no event loop timer to wake them.
    void WaitReadable(int milliseconds) const;

protected:
    // Sends a formatted request: result := pending, reply count := 0, the
    // address resolved anew. SEND_DONE, SEND_FAILED (nothing went out) or
    // SEND_REFUSED (a value may not be sent; nothing went out).
    SendResult Send(const RconRequest& request);

    const std::string& password() const { return password_; }
    void SetResult(RconResult result) { result_ = result; }

private:
    using ReplySlot = std::array<char, kReplyBytes + 1>;

    int socket_ = -1;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::string hostAddress_;
    std::string password_;
    int port_ = 0;
    std::unique_ptr<std::array<ReplySlot, kReplySlots>> slots_;
    std::array<unsigned short, kReplySlots> replyLengths_{};
    int replyCount_ = 0;
    std::string command_;
    std::string refusal_;
    RconResult result_ = RconResult::RCON_PENDING;
    int receiveError_ = 0;
    // Where the last request went (network byte order); replies come from
    // there or are not replies.
    bool asked_ = false;
    std::uint32_t askedAddress_ = 0;
    std::uint16_t askedPort_ = 0;
};
