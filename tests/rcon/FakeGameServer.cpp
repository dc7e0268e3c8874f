#include "FakeGameServer.h"

#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
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
    constexpr std::string_view kRcon = "\xFF\xFF\xFF\xFFrcon ";
    if (!request.starts_with(kRcon)) {
        return {Answer("Unknown command\n")};
    }
    request.remove_prefix(kRcon.size());
    // The password, quoted or not.
    std::string_view password;
    if (request.starts_with('"')) {
        const auto quote = request.find('"', 1);
        password = request.substr(1, quote == std::string_view::npos ? request.size() : quote - 1);
        request.remove_prefix(quote == std::string_view::npos ? request.size() : quote + 1);
    } else {
        password = TakeWord(request);
    }
    if (password_.empty()) {
        return {Answer("No rconpassword set on the server.\n")};
    }
    if (password != password_) {
        return {Answer("Bad rconpassword.\n")};
    }
    while (request.starts_with(' ')) {
        request.remove_prefix(1);
    }
    commands_.emplace_back(request);
    const std::string_view command = TakeWord(request);
    return Pieces(Run(command, request));
}

std::string FakeGameServer::Run(std::string_view command, std::string_view rest) {
    std::string_view words = rest;
    const std::string argument(TakeWord(words));
    if (command == "pb_sv_banguid") {
        if (!bans_.insert(argument).second) {
            return "Ban Failed: GUID " + argument + " is already banned\n";
        }
        return "GUID " + argument + " Ban Added to Ban List\n";
    }
    if (command == "pb_sv_unbanguid") {
        if (bans_.erase(argument) == 0) {
            return "GUID " + argument + " Not Found in the Ban List\n";
        }
        return "GUID " + argument + " has been Unbanned\n";
    }
    if (command == "status") {
        return StatusText();
    }
    const auto slotOf = [this](const std::string& word) {
        return std::find_if(players_.begin(), players_.end(),
                            [&](const FakePlayer& p) { return std::to_string(p.slot) == word; });
    };
    if (command == "dumpuser") {
        const auto player = slotOf(argument);
        if (player == players_.end()) {
            return "Player " + argument + " is not on the server\n";
        }
        std::string text = "userinfo\n--------\n";
        const auto line = [&text](std::string key, const std::string& value) {
            key.resize(std::max<std::size_t>(key.size(), 20), ' ');
            text += key + value + "\n";
        };
        line("name", player->name);
        line("rate", "25000");
        if (!player->guid.empty()) {
            line("cl_guid", player->guid);
        }
        line("ip", player->address);
        return text;
    }
    if (command == "clientkick" || command == "pb_sv_kick") {
        // PunkBuster numbers slots from 1.
        const std::string slot =
            command == "pb_sv_kick" ? std::to_string(std::atoi(argument.c_str()) - 1) : argument;
        const auto player = slotOf(slot);
        if (player == players_.end()) {
            return "Bad client slot: " + argument + "\n";
        }
        const std::string name = player->name;
        players_.erase(player);
        return command == "pb_sv_kick" ? "PunkBuster Server: " + name + " kicked\n"
                                       : name + " was kicked\n";
    }
    if (command == "say") {
        return "broadcast: print \"server: " + std::string(rest) + "\\n\"\n";
    }
    return "Unknown command: " + std::string(command) + "\n";
}

namespace {

// `text` padded with blanks to `width` visible characters (colour codes
// take none), at least `least` blanks.
std::string Padded(const std::string& text, std::size_t width, std::size_t least) {
    std::size_t visible = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size() && text[i + 1] != '^') {
            ++i;
            continue;
        }
        ++visible;
    }
    return text + std::string(std::max(least, width > visible ? width - visible : 0), ' ');
}

std::string RightAligned(const std::string& text, std::size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

} // namespace

std::string FakeGameServer::StatusText() const {
    const bool io = layout_ == Layout::IoQuake3;
    std::string text = "map: " + map_ + "\n";
    text += io ? "cl score ping name            address                                 rate \n"
                 "-- ----- ---- --------------- --------------------------------------- -----\n"
               : "num score ping name            lastmsg address               qport rate\n"
                 "--- ----- ---- --------------- ------- --------------------- ----- -----\n";
    for (const FakePlayer& p : players_) {
        text += RightAligned(std::to_string(p.slot), io ? 2 : 3) + " ";
        text += RightAligned(std::to_string(p.score), 5) + " ";
        const std::string ping = p.ping == -1   ? (io ? "CON " : "CNCT")
                                 : p.ping == -2 ? (io ? "ZMB " : "ZMBI")
                                                : RightAligned(std::to_string(p.ping), 4);
        text += ping + " ";
        if (io) {
            text += Padded(p.name, 16, 1) + "^7" + Padded(p.address, 39, 1) + " 25000\n";
        } else {
            text += Padded(p.name, 16, 0) + RightAligned("0", 7) + " " + Padded(p.address, 21, 1) +
                    RightAligned("1234", 5) + " 25000\n";
        }
    }
    return text + "\n";
}

std::vector<std::string> FakeGameServer::Pieces(std::string_view text) const {
    std::vector<std::string> pieces;
    do {
        const std::string_view piece = text.substr(0, pieceBytes_);
        pieces.push_back(Answer(piece));
        text.remove_prefix(piece.size());
    } while (!text.empty());
    std::vector<std::string> sent;
    for (int copy = 0; copy < copies_; ++copy) {
        sent.insert(sent.end(), pieces.begin(), pieces.end());
    }
    return sent;
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
