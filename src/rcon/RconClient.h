#pragma once

#include "AppConfig.h"
#include "RconCommand.h"
#include "RconExchange.h"
#include "RconReply.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class HostLookup;

// The RCON client every part of the program talks to game servers through:
// the ban flows, the Servers panel, the console, quarvelctl.
//
// It lives on one thread with an event loop (a window's, or quarvelctl's
// QCoreApplication) and never blocks it: a request returns at once, and its
// answer comes later to the callback given, from that event loop. Requests to
// any number of servers run side by side; host names are looked up off the
// thread (HostLookup). Each request has a socket of its own and ends, as
// RconExchange says, on its whole answer, its deadline or a failure. At most
// kRequestsPerSecond requests a second go to one server (engines refuse more
// from one address); those beyond wait in the order they came.
//
//     client.Send(server, "status", [](const RconReply& reply) { ... });
//
// The callback is called exactly once, never from within Send, unless the
// request is cancelled first. A client must not be deleted from within one
// of its callbacks (deleteLater it).
class RconClient : public QObject {
    Q_OBJECT

public:
    using RequestId = std::uint64_t;
    using Done = std::function<void(const RconReply& reply)>;

    static constexpr int kRequestsPerSecond = 10;

    explicit RconClient(QObject* parent = nullptr);
    ~RconClient() override;

    // Sends `rcon "<password>" <command>` to the server. Refused, with
    // nothing sent, when the password holds a double quote or a control
    // byte, when the command holds a control byte, or when the datagram would
    // pass RconRequest::kDatagramLimit.
    RequestId Send(const ServerEntry& server, std::string_view command, Done done,
                   RconTiming timing = {});
    // Sends a request datagram made elsewhere (the ban and unban commands).
    RequestId SendRequest(const ServerEntry& server, RconRequest request, Done done,
                          RconTiming timing = {});
    // The callback of the request is not called. A request not yet sent is
    // never sent.
    void Cancel(RequestId id);

    // Requests whose callback is still due.
    int pending() const { return static_cast<int>(callbacks_.size()); }
    // Requests of this server waiting for their turn under the rate limit.
    int queued(const ServerEntry& server) const;

private:
    struct Waiting {
        RequestId id;
        std::string host;
        std::uint16_t port;
        std::string datagram;
        RconTiming timing;
    };
    // The requests of one server (address text and port): when the last
    // ones went, and those waiting for their turn.
    struct Lane {
        std::deque<std::chrono::steady_clock::time_point> sent;
        std::deque<Waiting> waiting;
        std::unique_ptr<QTimer> turn;
    };

    static std::string LaneKey(const ServerEntry& server);
    void Advance(const std::string& key);
    void Resolved(Waiting request, std::optional<std::uint32_t> address);
    // Hands the reply to the request's callback from the event loop.
    void Complete(RequestId id, RconReply reply);
    void Refuse(RequestId id, RconReplyStatus status, std::string why);

    HostLookup* lookup_;
    RequestId nextId_ = 0;
    std::map<RequestId, Done> callbacks_;
    std::map<RequestId, RconExchange*> running_;
    std::map<std::string, Lane> lanes_;
};
