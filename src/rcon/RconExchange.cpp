#include "RconExchange.h"

#include <QSocketNotifier>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// The largest datagram UDP carries.
constexpr std::size_t kDatagramBytes = 65536;

// A non-blocking IPv4 datagram socket bound to any address and a port the
// system picks; -1 with errno set when that fails.
int OpenRequestSocket() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

RconReply SocketFailure(int error) {
    RconReply reply;
    reply.status = RconReplyStatus::SocketError;
    reply.errorNumber = error;
    return reply;
}

} // namespace

RconExchange::RconExchange(std::uint32_t address, std::uint16_t port, RconTiming timing,
                           Ended ended, QObject* parent)
    : QObject(parent), address_(address), port_(port), timing_(std::move(timing)),
      onEnd_(std::move(ended)) {
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    quiet_.setSingleShot(true);
    quiet_.setTimerType(Qt::PreciseTimer);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        if (assembly_.datagrams() > 0) {
            EndAnswered();
        } else {
            End(RconReply{});
        }
    });
    connect(&quiet_, &QTimer::timeout, this, &RconExchange::EndAnswered);
}

RconExchange::~RconExchange() {
    notifier_.reset(); // before its descriptor goes
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

void RconExchange::Start(std::string_view datagram) {
    socket_ = OpenRequestSocket();
    if (socket_ < 0) {
        End(SocketFailure(errno));
        return;
    }
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_addr.s_addr = htonl(address_);
    server.sin_port = htons(port_);
    const ssize_t sent = ::sendto(socket_, datagram.data(), datagram.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&server), sizeof server);
    if (sent != static_cast<ssize_t>(datagram.size())) {
        End(SocketFailure(sent < 0 ? errno : EMSGSIZE));
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(socket_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &RconExchange::Readable);
    deadline_.start(timing_.deadline);
}

void RconExchange::Abandon() {
    onEnd_ = nullptr;
    Linger();
}

void RconExchange::Readable() {
    std::vector<char> buffer(running() ? kDatagramBytes : 1);
    for (int read = 0; read < kReadsPerTurn; ++read) {
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t received = ::recvfrom(socket_, buffer.data(), buffer.size(), 0,
                                            reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (received < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno != EAGAIN && errno != EWOULDBLOCK && running()) {
                End(SocketFailure(errno));
            }
            break;
        }
        if (!running()) {
            continue; // lingering: whatever comes now is too late
        }
        if (fromLength < sizeof from || from.sin_family != AF_INET ||
            ntohl(from.sin_addr.s_addr) != address_ || ntohs(from.sin_port) != port_) {
            continue; // not from the server asked
        }
        switch (assembly_.Add({buffer.data(), static_cast<std::size_t>(received)})) {
        case ReplyAssembly::Added::Closed: {
            RconReply closed;
            closed.status = RconReplyStatus::Closed;
            End(std::move(closed));
            return;
        }
        case ReplyAssembly::Added::Overflow: {
            RconReply overflow;
            overflow.status = RconReplyStatus::Overflow;
            overflow.datagrams = assembly_.datagrams();
            End(std::move(overflow));
            return;
        }
        case ReplyAssembly::Added::Kept:
            break;
        }
    }
    if (!running() || assembly_.datagrams() == 0) {
        return;
    }
    if (timing_.whole && timing_.whole(assembly_.text())) {
        EndAnswered();
        return;
    }
    quiet_.start(timing_.quiet);
}

void RconExchange::EndAnswered() {
    RconReply reply;
    reply.datagrams = assembly_.datagrams();
    reply.text = assembly_.text();
    reply.status = StatusOfAnswer(reply.text);
    End(std::move(reply));
}

void RconExchange::End(RconReply reply) {
    Ended ended = std::move(onEnd_);
    onEnd_ = nullptr;
    Linger();
    if (ended) {
        ended(std::move(reply));
    }
}

void RconExchange::Linger() {
    quiet_.stop();
    deadline_.disconnect(this);
    quiet_.disconnect(this);
    assembly_ = ReplyAssembly();
    if (socket_ < 0) {
        // Queued rather than called here: a socket that could not be made
        // usually means no descriptor is left, and nothing more should run
        // on this object until the event loop comes round.
        QMetaObject::invokeMethod(this, &QObject::deleteLater, Qt::QueuedConnection);
        return;
    }
    connect(&deadline_, &QTimer::timeout, this, &QObject::deleteLater);
    deadline_.start(kLinger);
}
