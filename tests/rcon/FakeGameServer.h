#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// A game server for the tests: a real UDP server on 127.0.0.1 with a port the
// system picks, served by the test's own event loop (so whatever it sends in
// answer to a request is queued before the client's next poll). It checks the
// RCON password, keeps a GUID ban list and answers as a game server does:
// four 0xFF bytes, "print\n", then the text. It can also be told to stay
// silent, answer late, answer from another port, or send datagrams of the
// test's choosing.
class FakeGameServer {
public:
    explicit FakeGameServer(std::string password);
    ~FakeGameServer();
    FakeGameServer(const FakeGameServer&) = delete;
    FakeGameServer& operator=(const FakeGameServer&) = delete;

    // A server datagram carrying `text`.
    static std::string Answer(std::string_view text);

    int port() const { return port_; }

    void StaySilent() { silent_ = true; }
    void AnswerAfter(std::chrono::milliseconds delay) { delay_ = delay; }
    void AnswerFromOtherPort() { fromOtherPort_ = true; }
    // Before each answer, these datagrams go out from the other port, as a
    // spoofing peer on the same host would send them.
    void StraysFirst(std::vector<std::string> datagrams) { strays_ = std::move(datagrams); }
    // Every request is answered with exactly these datagrams instead.
    void AnswerWith(std::vector<std::string> datagrams) { script_ = std::move(datagrams); }
    void AddBan(const std::string& guid) { bans_.insert(guid); }
    bool IsBanned(const std::string& guid) const { return bans_.count(guid) != 0; }

    // Called with each request as it arrives, before it is answered.
    void OnRequest(std::function<void()> hook) { onRequest_ = std::move(hook); }

    // Every datagram received, bytes as they came.
    const std::vector<std::string>& received() const { return received_; }
    // Datagrams sent in answer so far.
    int answersSent() const { return answersSent_; }

private:
    void Receive();
    std::vector<std::string> AnswersTo(std::string_view request);
    void SendAnswers(const std::vector<std::string>& answers, std::uint32_t toAddress,
                     std::uint16_t toPort);

    std::string password_;
    int socket_ = -1;
    int otherSocket_ = -1;
    int port_ = 0;
    std::unique_ptr<QObject> timers_; // owns the late answers still due
    std::unique_ptr<QSocketNotifier> notifier_;
    bool silent_ = false;
    bool fromOtherPort_ = false;
    std::chrono::milliseconds delay_{0};
    std::vector<std::string> script_;
    std::vector<std::string> strays_;
    std::set<std::string> bans_;
    std::function<void()> onRequest_;
    std::vector<std::string> received_;
    int answersSent_ = 0;
};
