#include "RconClient.h"

#include "ConfigValues.h"
#include "HostLookup.h"

#include <QMetaObject>
#include <algorithm>
#include <cctype>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kRateWindow{1};

} // namespace

RconClient::RconClient(QObject* parent) : QObject(parent), lookup_(new HostLookup(this)) {}

RconClient::~RconClient() {
    // Exchanges are children and go with the client; none may call back.
    for (const auto& [id, exchange] : running_) {
        exchange->Abandon();
    }
}

std::string RconClient::LaneKey(const ServerEntry& server) {
    std::string key = server.address;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key + ':' + std::to_string(server.port);
}

RconClient::RequestId RconClient::Send(const ServerEntry& server, std::string_view command,
                                       Done done, RconTiming timing) {
    return SendRequest(server, FormatCommandRequest(server.rconpass, command), std::move(done),
                       std::move(timing));
}

RconClient::RequestId RconClient::SendRequest(const ServerEntry& server, RconRequest request,
                                              Done done, RconTiming timing) {
    const RequestId id = ++nextId_;
    callbacks_[id] = std::move(done);
    if (!request.sendable()) {
        Refuse(id, RconReplyStatus::NotSent, request.refusal);
        return id;
    }
    // A port outside the 16 bits would be cut to another port, where another
    // server may listen.
    if (server.port < 1 || server.port > 65535) {
        Refuse(id, RconReplyStatus::NotSent,
               "Not sent: the RCON port of this server is not between 1 and 65535.");
        return id;
    }
    if (!IsServerAddress(server.address)) {
        Refuse(id, RconReplyStatus::NotSent,
               "Not sent: the address of this server is neither a dotted IPv4 address nor a "
               "host name.");
        return id;
    }
    const std::string key = LaneKey(server);
    lanes_[key].waiting.push_back({id, server.address, static_cast<std::uint16_t>(server.port),
                                   std::move(request.datagram), std::move(timing)});
    Advance(key);
    return id;
}

void RconClient::Advance(const std::string& key) {
    Lane& lane = lanes_[key];
    const auto now = Clock::now();
    while (!lane.sent.empty() && now - lane.sent.front() >= kRateWindow) {
        lane.sent.pop_front();
    }
    while (!lane.waiting.empty() &&
           lane.sent.size() < static_cast<std::size_t>(kRequestsPerSecond)) {
        Waiting request = std::move(lane.waiting.front());
        lane.waiting.pop_front();
        lane.sent.push_back(now);
        const std::string host = request.host;
        lookup_->Find(host, [this, request = std::move(request)](auto address) mutable {
            Resolved(std::move(request), address);
        });
    }
    if (lane.waiting.empty()) {
        return;
    }
    // The next turn comes when the oldest of the last requests is a second
    // old.
    if (!lane.turn) {
        lane.turn = std::make_unique<QTimer>();
        lane.turn->setSingleShot(true);
        lane.turn->setTimerType(Qt::PreciseTimer);
        connect(lane.turn.get(), &QTimer::timeout, this, [this, key] { Advance(key); });
    }
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(lane.sent.front() + kRateWindow - now);
    lane.turn->start(std::max(wait, std::chrono::milliseconds(1)));
}

void RconClient::Resolved(Waiting request, std::optional<std::uint32_t> address) {
    if (callbacks_.count(request.id) == 0) {
        return; // cancelled while its address was looked up
    }
    if (!address) {
        Refuse(request.id, RconReplyStatus::Unresolved,
               "Not sent: the address \"" + request.host + "\" could not be looked up.");
        return;
    }
    const RequestId id = request.id;
    auto* exchange = new RconExchange(
        *address, request.port, std::move(request.timing),
        [this, id](RconReply reply) {
            running_.erase(id);
            Complete(id, std::move(reply));
        },
        this);
    running_[id] = exchange;
    exchange->Start(request.datagram);
}

void RconClient::Cancel(RequestId id) {
    callbacks_.erase(id);
    if (const auto running = running_.find(id); running != running_.end()) {
        running->second->Abandon();
        running_.erase(running);
    }
    for (auto& [key, lane] : lanes_) {
        std::erase_if(lane.waiting, [id](const Waiting& waiting) { return waiting.id == id; });
    }
}

int RconClient::queued(const ServerEntry& server) const {
    const auto lane = lanes_.find(LaneKey(server));
    return lane == lanes_.end() ? 0 : static_cast<int>(lane->second.waiting.size());
}

void RconClient::Refuse(RequestId id, RconReplyStatus status, std::string why) {
    RconReply reply;
    reply.status = status;
    reply.refusal = std::move(why);
    Complete(id, std::move(reply));
}

void RconClient::Complete(RequestId id, RconReply reply) {
    // Always from the event loop: a caller is never called back from within
    // its own Send, and may send again from the callback.
    QMetaObject::invokeMethod(
        this,
        [this, id, reply = std::move(reply)] {
            const auto callback = callbacks_.find(id);
            if (callback == callbacks_.end()) {
                return;
            }
            const Done done = std::move(callback->second);
            callbacks_.erase(callback);
            done(reply);
        },
        Qt::QueuedConnection);
}
