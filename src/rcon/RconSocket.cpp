#include "RconSocket.h"

#include "AppConfig.h"
#include "HostAddress.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using enum PollStatus;
using enum RconResult;
using enum SendResult;

namespace {

// A non-blocking IPv4 datagram socket bound to any address and port 0, or -1.
int OpenBoundSocket() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

RconSocket::RconSocket(std::string_view hostAddress, int port, std::string_view password)
    : socket_(OpenBoundSocket()), hostAddress_(hostAddress.substr(0, ServerEntry::kTextLimit)),
      password_(password.substr(0, ServerEntry::kTextLimit)), port_(port),
      slots_(std::make_unique<std::array<ReplySlot, kReplySlots>>()) {
    if (socket_ >= 0) {
        // Nobody listens to its signal: the notifier only wakes the event
        // loop, and only during a wait, whose poll reads.
        readNotifier_ = std::make_unique<QSocketNotifier>(socket_, QSocketNotifier::Read);
        readNotifier_->setEnabled(false);
    }
}

RconSocket::~RconSocket() {
    readNotifier_.reset(); // before its descriptor goes
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

SendResult RconSocket::Send(const RconRequest& request) {
    result_ = RCON_PENDING;
    replyCount_ = 0;
    refusal_ = request.refusal;
    command_ = request.datagram;
    if (!request.sendable()) {
        return SEND_REFUSED;
    }
    // A port outside the 16 bits would be cut to another port, where another
    // server may listen.
    if (port_ < 1 || port_ > 65535) {
        refusal_ = "Not sent: the RCON port of this server is not between 1 and 65535.";
        return SEND_REFUSED;
    }
    const auto address = ResolveIPv4(hostAddress_);
    if (!address) {
        return SEND_FAILED;
    }
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_addr = *address;
    server.sin_port = htons(static_cast<std::uint16_t>(port_));
    askedAddress_ = server.sin_addr.s_addr;
    askedPort_ = server.sin_port;
    asked_ = true;
    const ssize_t sent = ::sendto(socket_, command_.data(), command_.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&server), sizeof server);
    return sent == static_cast<ssize_t>(command_.size()) ? SEND_DONE : SEND_FAILED;
}

PollStatus RconSocket::Poll() {
    // Once the last slot is filled nothing more is stored.
    if (replyCount_ >= kReplySlots) {
        return POLL_OVERFLOW;
    }
    // Datagrams from anyone but the server asked are read and dropped; a
    // flood of them ends this poll after a while so the wait can look at
    // its clock, and the next poll goes on reading.
    int strays = 0;
    for (;;) {
        ReplySlot& slot = (*slots_)[static_cast<std::size_t>(replyCount_)];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        // A longer datagram is cut to the slot (the rest is discarded by the
        // socket layer) and classified as cut.
        const ssize_t received = ::recvfrom(socket_, slot.data(), kReplyBytes, 0,
                                            reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (received < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return POLL_OK;
            }
            receiveError_ = errno;
            return POLL_RECEIVE_ERROR;
        }
        if (!asked_ || fromLength < sizeof from || from.sin_family != AF_INET ||
            from.sin_addr.s_addr != askedAddress_ || from.sin_port != askedPort_) {
            if (++strays >= kStraysPerPoll) {
                return POLL_OK;
            }
            continue;
        }
        if (received == 0) {
            return POLL_CLOSED;
        }
        slot[static_cast<std::size_t>(received)] = '\0';
        replyLengths_[static_cast<std::size_t>(replyCount_)] =
            static_cast<unsigned short>(received);
        if (++replyCount_ == kReplySlots) {
            return POLL_OVERFLOW;
        }
    }
}

std::string_view RconSocket::Reply(int slot) const {
    if (slot < 0 || slot >= replyCount_) {
        return {};
    }
    const auto index = static_cast<std::size_t>(slot);
    return {(*slots_)[index].data(), replyLengths_[index]};
}

int RconSocket::localPort() const {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (socket_ < 0 || ::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

void RconSocket::SetWakesEventLoop(bool wakes) {
    if (readNotifier_) {
        readNotifier_->setEnabled(wakes);
    }
}

bool RconSocket::wakesEventLoop() const {
    return readNotifier_ && readNotifier_->isEnabled();
}

void RconSocket::WaitReadable(int milliseconds) const {
    if (socket_ < 0) {
        return; // the poll that follows reports it
    }
    pollfd waitFor{socket_, POLLIN, 0};
    ::poll(&waitFor, 1, milliseconds < 0 ? 0 : milliseconds);
}
