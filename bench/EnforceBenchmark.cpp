// The harvest service enforcing a ban, measured as it runs:
//
//   enforce_bench [DATABASE] [ROUNDS]
//
// One quarvelctl follow --harvest --no-lines on a log whose server block
// (log=) names a game server on the loopback: a UDP socket of this program,
// on a thread of its own, that notes when each datagram arrives and answers
// it as a server answers a kick. A GUID is banned in DATABASE (an SQLite
// file, made with init-db when missing, or a postgresql:// URI of a database
// init-db has filled; a temporary SQLite file when none is given). Each round
// appends one ClientConnect line of the banned GUID to the log and times
// from the write to the kick datagram's arrival; rounds are 150 ms apart, so
// that the RCON client's ten requests a second to one server never queue a
// kick. Printed: each round's milliseconds, then the median, the 90th
// percentile and the highest of ROUNDS (100 unless given).
#include "BanStates.h"
#include "QuarvelctlChild.h"

#include <QCoreApplication>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string kGuid = "E0F0000000000000000000000000BE7C";

// A game server that only notes kicks: each datagram's arrival, and an
// answer "print" with the text a server gives.
class KickCounter {
public:
    KickCounter() : socket_(::socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~KickCounter() {
        stop_ = true;
        thread_.join();
        ::close(socket_);
    }
    KickCounter(const KickCounter&) = delete;
    KickCounter& operator=(const KickCounter&) = delete;

    int port() const { return port_; }

    // Waits for the next datagram, up to `limit`: when it arrived.
    std::optional<Clock::time_point> Next(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, limit, [this] { return !arrivals_.empty(); })) {
            return std::nullopt;
        }
        const Clock::time_point at = arrivals_.front();
        arrivals_.erase(arrivals_.begin());
        return at;
    }

private:
    void Serve() {
        char buffer[2048];
        while (!stop_) {
            pollfd wait{socket_, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0) {
                continue;
            }
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t got = ::recvfrom(socket_, buffer, sizeof buffer, 0,
                                           reinterpret_cast<sockaddr*>(&from), &length);
            const Clock::time_point at = Clock::now();
            if (got <= 0) {
                continue;
            }
            {
                std::lock_guard lock(mutex_);
                arrivals_.push_back(at);
            }
            arrived_.notify_one();
            static const std::string answer = "\xff\xff\xff\xffprint\nBanned was kicked\n";
            ::sendto(socket_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from),
                     length);
        }
    }

    int socket_;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Clock::time_point> arrivals_;
};

void Append(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

std::string Connect(int round) {
    return "  9:00 ClientConnect: " + std::to_string(round % 64) + " - 10.9.9." +
           std::to_string(round % 250) + ":28960 [" + kGuid + "]\n";
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

int Run(std::string location, int rounds) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("enforce_bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    if (location.empty()) {
        location = (folder / "players.sqlite").string();
    }
    if (!location.starts_with("postgresql://") && !std::filesystem::exists(location)) {
        QuarvelctlChild init({"init-db", location});
        init.Wait(std::chrono::minutes(1));
    }
    {
        BanStates states(location, "bench");
        states.Ban({kGuid, "enforce_bench", "Banned", ""});
        states.Close();
    }
    KickCounter server;
    const std::string log = (folder / "games.log").string();
    const std::string config = (folder / "quarvel.cfg").string();
    std::ofstream(log) << "  0:00 InitGame: \\sv_hostname\\Bench\n";
    std::ofstream(config) << "[server]\nname=Bench\naddress=127.0.0.1\nport=" << server.port()
                          << "\nrconpass=bench\nlog=" << log << "\n[database]\nfile=" << location
                          << "\n";
    QuarvelctlChild follower({"follow", log, "--harvest", "--no-lines", "--config", config});
    // Once a kick comes back the follower reads the log live: the warm-up
    // round is not counted.
    bool live = false;
    for (int tries = 0; tries < 50 && !live; ++tries) {
        Append(log, Connect(63));
        live = server.Next(200ms).has_value();
    }
    if (!live) {
        std::fprintf(stderr, "enforce_bench: no kick came: %s\n", follower.err().c_str());
        return 1;
    }
    while (server.Next(300ms)) {
    }
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        std::this_thread::sleep_for(150ms);
        const Clock::time_point written = Clock::now();
        Append(log, Connect(round));
        const auto kicked = server.Next(5s);
        if (!kicked) {
            std::fprintf(stderr, "enforce_bench: round %d: no kick within 5 s\n", round);
            return 1;
        }
        times.push_back(Milliseconds(*kicked - written));
        std::printf("round %d: %.2f ms\n", round, times.back());
    }
    follower.Signal(SIGTERM);
    follower.Wait();
    std::filesystem::remove_all(folder);
    std::sort(times.begin(), times.end());
    const auto at = [&](double share) {
        return times[std::min(times.size() - 1, static_cast<std::size_t>(share * times.size()))];
    };
    std::printf("connect line to kick datagram over %d connects: median %.2f ms, 90th "
                "percentile %.2f ms, highest %.2f ms\n",
                rounds, at(0.5), at(0.9), times.back());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(args.empty() ? std::string() : args[0],
                   args.size() > 1 ? std::max(1, std::stoi(args[1])) : 100);
    } catch (const DatabaseError& error) {
        std::fprintf(stderr, "enforce_bench: %s\n", error.what());
        return 1;
    }
}
