#pragma once

// Logs for the tests of followers: the sample, logs whose players overlap,
// and a writer that grows a log as a game server does.
#include "HarvestLog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>

inline std::string SampleLogBytes() {
    std::ifstream in(QUARVEL_SOURCE_DIR "/samples/sample.log", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void AppendTo(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Writes bytes to a log a piece at a time, on a thread of its own, through
// a descriptor it holds open as a game server does: a rotation leaves it
// writing to the renamed file. Pieces cut lines anywhere.
class LogWriter {
public:
    LogWriter(const std::string& path, std::string bytes, std::chrono::milliseconds duration,
              unsigned seed = 1)
        : bytes_(std::move(bytes)),
          fd_(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)) {
        thread_ = std::thread([this, duration, seed] {
            std::mt19937 random(seed);
            constexpr std::size_t kPieces = 120;
            const auto pause = duration / kPieces;
            const std::size_t average = std::max<std::size_t>(bytes_.size() / kPieces, 1);
            std::size_t at = 0;
            while (at < bytes_.size()) {
                const std::size_t piece =
                    std::min<std::size_t>(bytes_.size() - at, 1 + random() % (2 * average));
                if (::write(fd_, bytes_.data() + at, piece) < 0) {
                    break;
                }
                at += piece;
                written_ = at;
                std::this_thread::sleep_for(pause);
            }
        });
    }
    ~LogWriter() { Finish(); }
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // Waits for the last piece, and lets the file go.
    void Finish() {
        if (thread_.joinable()) {
            thread_.join();
        }
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    std::size_t written() const { return written_; }

private:
    std::string bytes_;
    int fd_;
    std::atomic<std::size_t> written_ = 0;
    std::thread thread_;
};

// `lines` event lines of players drawn from one pool of 400 GUIDs and 300
// names, connecting in 32 slots from a few addresses: logs made with
// different seeds share most of their players, as the logs of game servers
// that share a community do.
inline std::string SharedPlayersLog(unsigned seed, int lines) {
    std::mt19937 random(seed);
    std::string bytes;
    for (int i = 0; i < lines; ++i) {
        const int slot = static_cast<int>(random() % 32);
        if (random() % 3 == 0) {
            char guid[33];
            std::snprintf(guid, sizeof guid, "%032X", static_cast<unsigned>(random() % 400));
            bytes += ConnectLine(slot,
                                 "10.0." + std::to_string(random() % 4) + "." +
                                     std::to_string(random() % 4),
                                 guid) +
                     "\n";
        } else {
            bytes += UserinfoLine(slot, "^" + std::to_string(random() % 8) + "Player" +
                                            std::to_string(random() % 300)) +
                     "\n";
        }
    }
    return bytes;
}
