#pragma once

#include "AppConfig.h"
#include "BanOutcome.h"
#include "BanState.h"
#include "PlayerAction.h"
#include "RconClient.h"
#include "StatusQuery.h"

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Kicks or temp-kicks one player, by GUID, from every server he is on now:
// what a temp-ban does at once where the player is playing (quarvelctl
// tempban, the ban controller of the windows).
//
// Every server given is asked `status` at once, each player's GUID found as
// StatusQuery finds it (the status, the server's log and the player database
// through the deferred source, then his userinfo); the player is kicked from
// each slot that holds the GUID, with the server's kick= or tempkick=
// command (PlayerAction's values: the reason, a temp-kick's minutes).
//
// One ServerResult a server, in the order the servers were given:
//   Done     the server answered the kick of every slot he was in (the
//            message names the slots and the server's answer);
//   Refused  the server refused the password of a kick;
//   Failed   the server could not be asked who is on it (no answer, the
//            password refused), or a kick got no answer or could not be
//            made from the template;
//   Skipped  the player is not on it (message "<GUID> is not on this
//            server"); nothing was sent, and nothing is recorded.
// Every outcome but Skipped goes to the recorder, when there is one, as the
// action's record (one a kick sent, naming the player in the slot; one for a
// server that could not be asked).
//
// Asynchronous over the client's event loop: Start returns at once and
// `finished` comes once, from the event loop, when every server is done.
// The client, the deferred source and the recorder must outlive the run.
class KickWherePlaying : public QObject {
    Q_OBJECT

public:
    // `action` is a Kick or a TempKick with its minutes; `guid` is 32
    // hexadecimal digits, either case. `guids` (may be null) is the
    // ServerGuidLookup of the caller; `recorder` may be null.
    KickWherePlaying(RconClient& client, std::vector<ServerEntry> servers, std::string guid,
                     PlayerAction action, DeferredGuidSource* guids,
                     ServerOutcomeRecorder* recorder, QObject* parent = nullptr);
    ~KickWherePlaying() override;

    void Start();

    // One a server, in order; complete once `finished` came.
    const std::vector<ServerResult>& results() const { return results_; }
    // The slots kicked (or tried) on each server, in the order of results().
    const std::vector<std::vector<int>>& kickedSlots() const { return slots_; }

signals:
    void finished();

private:
    struct Server;

    void StatusDone(std::size_t index);
    void ServerDone(std::size_t index);

    RconClient& client_;
    std::vector<ServerEntry> servers_;
    std::string guid_; // upper case
    PlayerAction action_;
    DeferredGuidSource* guids_;
    ServerOutcomeRecorder* recorder_;
    std::vector<std::unique_ptr<Server>> running_;
    std::vector<ServerResult> results_;
    std::vector<std::vector<int>> slots_;
    std::size_t left_ = 0;
    bool started_ = false;
};

// The kick a ban holding a player off asks for at `now` (seconds since 1970
// UTC): a temp-kick for the whole minutes left of a temp-ban (the last one
// begun counts), so that nothing needs lifting on the server when it runs
// out; a kick for a permanent ban. The ban's reason, as log bytes.
PlayerAction BanKickAction(const BanState& ban, std::int64_t now);
