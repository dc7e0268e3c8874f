#include "FakeGameServer.h"

#include <QTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int OpenLoopbackSocket() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int PortOf(int fd) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (fd < 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

// The next word of `text` up to a blank, taken off the front with the blank.
std::string_view TakeWord(std::string_view& text) {
    const auto blank = text.find(' ');
    const std::string_view word = text.substr(0, blank);
    text.remove_prefix(blank == std::string_view::npos ? text.size() : blank + 1);
    return word;
}

} // namespace

FakeGameServer::FakeGameServer(std::string password)
    : password_(std::move(password)), socket_(OpenLoopbackSocket()),
      otherSocket_(OpenLoopbackSocket()), port_(PortOf(socket_)),
      timers_(std::make_unique<QObject>()) {
    if (socket_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(socket_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Receive(); });
    }
}

FakeGameServer::~FakeGameServer() {
    notifier_.reset();
    timers_.reset();
    for (int fd : {socket_, otherSocket_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

std::string FakeGameServer::Answer(std::string_view text) {
    std::string datagram = "\xFF\xFF\xFF\xFFprint\n";
    datagram.append(text);
    return datagram;
}

void FakeGameServer::Receive() {
    for (;;) {
        char buffer[2048];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t received = ::recvfrom(socket_, buffer, sizeof buffer, 0,
                                            reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (received < 0) {
            return; // nothing more waiting
        }
        received_.emplace_back(buffer, static_cast<std::size_t>(received));
        if (onRequest_) {
            onRequest_();
        }
        if (silent_) {
            continue;
        }
        const auto answers = AnswersTo(received_.back());
        const std::uint32_t address = from.sin_addr.s_addr;
        const std::uint16_t port = from.sin_port;
        if (delay_.count() > 0) {
            QTimer::singleShot(delay_, timers_.get(), [this, answers, address, port] {
                SendAnswers(answers, address, port);
            });
        } else {
            SendAnswers(answers, address, port);
        }
    }
}

std::vector<std::string> FakeGameServer::AnswersTo(std::string_view request) {
    if (!script_.empty()) {
        return script_;
    }
    constexpr std::string_view kStart = "\xFF\xFF\xFF\xFFrcon \"";
    if (!request.starts_with(kStart)) {
        return {Answer("Unknown command\n")};
    }
    request.remove_prefix(kStart.size());
    const auto quote = request.find('"');
    if (quote == std::string_view::npos || request.substr(0, quote) != password_) {
        return {Answer("Bad rconpassword.\n")};
    }
    request.remove_prefix(quote + 1);
    if (request.starts_with(' ')) {
        request.remove_prefix(1);
    }
    const std::string_view command = TakeWord(request);
    const std::string guid(TakeWord(request));
    if (command == "pb_sv_banguid") {
        if (!bans_.insert(guid).second) {
            return {Answer("Ban Failed: GUID " + guid + " is already banned\n")};
        }
        return {Answer("GUID " + guid + " Ban Added to Ban List\n")};
    }
    if (command == "pb_sv_unbanguid") {
        if (bans_.erase(guid) == 0) {
            return {Answer("GUID " + guid + " Not Found in the Ban List\n")};
        }
        return {Answer("GUID " + guid + " has been Unbanned\n")};
    }
    return {Answer("Unknown command: " + std::string(command) + "\n")};
}

void FakeGameServer::SendAnswers(const std::vector<std::string>& answers, std::uint32_t toAddress,
                                 std::uint16_t toPort) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = toAddress;
    to.sin_port = toPort;
    for (const std::string& datagram : strays_) {
        ::sendto(otherSocket_, datagram.data(), datagram.size(), 0,
                 reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    const int fd = fromOtherPort_ ? otherSocket_ : socket_;
    for (const std::string& datagram : answers) {
        if (::sendto(fd, datagram.data(), datagram.size(), 0,
                     reinterpret_cast<const sockaddr*>(&to),
                     sizeof to) == static_cast<ssize_t>(datagram.size())) {
            ++answersSent_;
        }
    }
}
