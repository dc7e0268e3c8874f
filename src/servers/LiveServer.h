#pragma once

#include "AppConfig.h"
#include "LivePlayersModel.h"
#include "StatusQuery.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <utility>

// One configured server as the Servers panel shows it: asked who is on it
// every poll= seconds (one question at a time: a poll that is due while the
// last still runs is skipped), its players in a LivePlayersModel, and what
// the last question brought. A server that does not answer or refuses keeps
// the players of its last answer, and its state says what went wrong and
// how old that answer is; nothing is shown in a message box.
//
// A player's GUID comes from the sources given, then from the deferred source
// (the server's log, the player database, read off the window thread), else
// from his userinfo, which is asked once for a player: what it gave is
// remembered for his slot and address while he stays.
class LiveServer : public QObject {
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;

    // `client` outlives this object.
    LiveServer(RconClient& client, ServerEntry server, QObject* parent = nullptr);
    ~LiveServer() override;

    // The sources outlive this object, or are replaced before they go.
    void SetGuidSources(std::vector<GuidSource*> sources) { sources_ = std::move(sources); }
    void SetDeferredGuidSource(DeferredGuidSource* source) { deferred_ = source; }
    // Polls now, then every interval(): the server's poll= seconds.
    void Start();
    void Stop();
    // Asks now, unless a question is running.
    void PollNow();
    bool polling() const { return static_cast<bool>(query_); }
    std::chrono::seconds interval() const;

    const ServerEntry& server() const { return server_; }
    LivePlayersModel& players() { return players_; }
    const LivePlayersModel& players() const { return players_; }
    // What the last finished question brought; none before the first.
    const std::optional<ServerSnapshot>& last() const { return last_; }
    // When the server last answered with its players.
    std::optional<Clock::time_point> lastAnswer() const { return lastAnswer_; }

    // One line for the panel: "<map>, <n> players, answered <age> ago", or
    // what went wrong and the age of the last answer.
    QString StateText(Clock::time_point now) const;

signals:
    // A question ended; players() and last() say what it brought.
    void polled();

private:
    // What userinfo answers gave, by slot and address.
    class Remembered : public GuidSource {
    public:
        std::optional<KnownGuid> Find(int slot, std::string_view ip) override;
        std::map<std::pair<int, std::string>, KnownGuid, std::less<>> guids;
    };

    void Finished();

    RconClient& client_;
    ServerEntry server_;
    std::vector<GuidSource*> sources_;
    DeferredGuidSource* deferred_ = nullptr;
    Remembered remembered_;
    LivePlayersModel players_;
    QTimer timer_;
    std::unique_ptr<StatusQuery> query_;
    std::optional<ServerSnapshot> last_;
    std::optional<Clock::time_point> lastAnswer_;
};

// "4 s", "3 min", "2 h": how old something is, roughly.
QString AgeText(std::chrono::steady_clock::duration age);
