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
// RCON password (an empty one is "No rconpassword set on the server."), keeps
// a GUID ban list and a player table, and answers as a game server does:
// four 0xFF bytes, "print\n", then the text, cut into datagrams of at most
// pieceBytes() bytes of text. It knows pb_sv_banguid, pb_sv_unbanguid,
// status (in either layout), dumpuser, clientkick, pb_sv_kick and say. It can
// also be told to stay silent, answer late, answer from another port, flood,
// or send datagrams of the test's choosing.
struct FakePlayer {
    int slot = 0;
    std::string name; // colour codes and blanks as the game keeps them
    std::string address = "192.0.2.1:27960";
    std::string guid; // its userinfo's cl_guid; none when empty
    int score = 0;
    int ping = 50; // -1: still connecting, -2: a zombie
    bool operator==(const FakePlayer&) const = default;
};

class FakeGameServer {
public:
    // The layouts of `status`.
    enum class Layout { IoQuake3, Original };

    explicit FakeGameServer(std::string password);
    ~FakeGameServer();
    FakeGameServer(const FakeGameServer&) = delete;
    FakeGameServer& operator=(const FakeGameServer&) = delete;

    // A server datagram carrying `text`.
    static std::string Answer(std::string_view text);

    int port() const { return port_; }
    // An empty password is none set.
    void SetPassword(std::string password) { password_ = std::move(password); }

    void StaySilent() { silent_ = true; }
    void AnswerAfter(std::chrono::milliseconds delay) { delay_ = delay; }
    void AnswerFromOtherPort() { fromOtherPort_ = true; }
    // Before each answer, these datagrams go out from the other port, as a
    // spoofing peer on the same host would send them.
    void StraysFirst(std::vector<std::string> datagrams) { strays_ = std::move(datagrams); }
    // Every request is answered with exactly these datagrams instead.
    void AnswerWith(std::vector<std::string> datagrams) { script_ = std::move(datagrams); }
    // Each answer is sent `copies` times over.
    void Flood(int copies) { copies_ = copies; }
    // The text of an answer goes out in datagrams of at most this many bytes
    // (after the print header); 1000 unless set.
    void AnswerInPiecesOf(std::size_t bytes) { pieceBytes_ = bytes; }
    void AddBan(const std::string& guid) { bans_.insert(guid); }
    bool IsBanned(const std::string& guid) const { return bans_.count(guid) != 0; }

    void SetMap(std::string map) { map_ = std::move(map); }
    void SetLayout(Layout layout) { layout_ = layout; }
    void SetPlayers(std::vector<FakePlayer> players) { players_ = std::move(players); }
    const std::vector<FakePlayer>& players() const { return players_; }
    // The `status` text of the players as the layout prints it.
    std::string StatusText() const;
    // The commands (the text after the password) run so far.
    const std::vector<std::string>& commands() const { return commands_; }

    // Called with each request as it arrives, before it is answered.
    void OnRequest(std::function<void()> hook) { onRequest_ = std::move(hook); }

    // Every datagram received, bytes as they came.
    const std::vector<std::string>& received() const { return received_; }
    // Datagrams sent in answer so far.
    int answersSent() const { return answersSent_; }

private:
    void Receive();
    std::vector<std::string> AnswersTo(std::string_view request);
    std::vector<std::string> Pieces(std::string_view text) const;
    std::string Run(std::string_view command, std::string_view rest);
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
    std::vector<std::string> commands_;
    int answersSent_ = 0;
    int copies_ = 1;
    std::size_t pieceBytes_ = 1000;
    std::string map_ = "oasago2";
    Layout layout_ = Layout::IoQuake3;
    std::vector<FakePlayer> players_;
};
