#pragma once

#include "RconReply.h"
#include "ReplyAssembly.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QSocketNotifier;

// How long a request waits and when its answer is whole.
struct RconTiming {
    // From the send: a datagram later than this is no part of the answer.
    std::chrono::milliseconds deadline{1000};
    // An answer is whole once the server has sent nothing for this long.
    std::chrono::milliseconds quiet{200};
    // Or as soon as this says the text so far is the whole answer (a ban's
    // phrase, the empty line that ends `status`). Optional.
    std::function<bool(std::string_view text)> whole;
};

// One request datagram to one server and the answer to it, over a datagram
// socket of its own: a datagram counts only when it comes from the address
// and port asked, to this socket, before the deadline. Once ended, the socket
// stays open a while and drops what still comes, so that the system does not
// hand its port to a later request that a late answer could then reach.
//
// Made and owned by RconClient; it deletes itself when that while is over.
class RconExchange : public QObject {
    Q_OBJECT

public:
    using Ended = std::function<void(RconReply reply)>;

    // How long an ended exchange keeps its port.
    static constexpr std::chrono::milliseconds kLinger{3000};
    // Datagrams read in one go before the event loop gets its turn again.
    static constexpr int kReadsPerTurn = 512;

    RconExchange(std::uint32_t address, std::uint16_t port, RconTiming timing, Ended ended,
                 QObject* parent);
    ~RconExchange() override;

    // Opens the socket and sends. A failure of the socket layer ends the
    // exchange at once, through `ended`.
    void Start(std::string_view datagram);
    // Ends it without a word: `ended` is not called.
    void Abandon();

    bool running() const { return static_cast<bool>(onEnd_); }

private:
    void Readable();
    void End(RconReply reply);
    void EndAnswered();
    void Linger();

    std::uint32_t address_; // host byte order
    std::uint16_t port_;
    RconTiming timing_;
    Ended onEnd_;
    int socket_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer deadline_;
    QTimer quiet_;
    ReplyAssembly assembly_;
};
