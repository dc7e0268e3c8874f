#pragma once

#include <QProcess>
#include <QString>
#include <string>
#include <vector>

// Fake game servers for the live-server benchmarks, in a process of their own
// so that none of their work is counted in the process measured: this
// program started again with kServeArgument. Each server answers as an
// ioquake3 server does (the tests' FakeGameServer: `status` in its layout,
// in datagrams of at most 1,000 bytes of text, `dumpuser`, the ban phrases),
// with the password kFleetPassword and `players` players: colour-coded names
// of 1 to 28 visible characters, some with blanks, two bots (address "bot")
// per 32 slots. Every second a few pings and scores change, and every ten
// seconds one player of each server leaves and another takes his slot, as on
// a busy server. The silent servers never answer.
inline constexpr const char* kServeArgument = "--serve-fake-servers";
inline constexpr const char* kFleetPassword = "bench-secret";

// The child's side: `arguments` are what followed kServeArgument (the
// numbers of answering and silent servers and the players of each). Prints
// the servers' ports on one line, answering ones first, then serves until
// its standard input closes.
int ServeFakeServers(const std::vector<std::string>& arguments);

// The parent's side: starts the child and reads its ports.
class FakeServerFleet {
public:
    FakeServerFleet(int answering, int silent, int players);
    ~FakeServerFleet();
    FakeServerFleet(const FakeServerFleet&) = delete;
    FakeServerFleet& operator=(const FakeServerFleet&) = delete;

    // Empty when the servers are up; otherwise why not.
    const QString& failure() const { return failure_; }
    const std::vector<int>& answering() const { return answering_; }
    const std::vector<int>& silent() const { return silent_; }
    qint64 processId() const { return child_.processId(); }

private:
    QProcess child_;
    QString failure_;
    std::vector<int> answering_;
    std::vector<int> silent_;
};
