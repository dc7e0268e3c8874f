#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// A limit on how long one statement may keep a PostgreSQL connection waiting.
// The client library waits for the server's answer without end; a server
// that stops answering (a hung machine, a network that drops everything)
// would stall the program forever, keepalives notwithstanding when the
// server's system still answers for it. Past the limit, a watcher thread shuts
// the connection's socket down: the wait ends at once as a lost connection,
// and the caller reconnects.
//
// Arm before a statement and Disarm after it, on the thread that runs it.
class StatementDeadline {
public:
    // The limit every statement gets: QUARVEL_DB_DEADLINE (whole seconds,
    // for tests and very slow links) or 60 seconds.
    static std::chrono::milliseconds DefaultLimit();

    StatementDeadline() = default;
    ~StatementDeadline();
    StatementDeadline(const StatementDeadline&) = delete;
    StatementDeadline& operator=(const StatementDeadline&) = delete;

    // The statement about to run on `socket` must be answered within
    // `limit`.
    void Arm(int socket, std::chrono::milliseconds limit);
    // The statement has returned. True when it was cut off by the limit.
    bool Disarm();

private:
    void Watch(const std::stop_token& stop);

    std::mutex mutex_;
    std::condition_variable_any changed_;
    int socket_ = -1;
    std::chrono::steady_clock::time_point due_;
    bool fired_ = false;
    std::jthread watcher_; // started at the first Arm; last, so it stops first
};
