#pragma once

#include "AppConfig.h"
#include "RconClient.h"
#include "ServerSnapshot.h"

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A place that knows GUIDs but answers later, away from the asking thread:
// a server's log that has to be read first, the player database. Blocking the
// window thread on either would freeze every window while a log of hundreds
// of MB is read or a database does not answer.
class DeferredGuidSource {
public:
    struct Question {
        int slot = -1;
        std::string ip; // without the port
        // The GUID when another source knew it already: only what the
        // source adds to it (its ban state) is asked. Empty otherwise.
        std::string guid = {};
    };
    // One answer a question, in order.
    using Answers = std::vector<std::optional<KnownGuid>>;

    virtual ~DeferredGuidSource() = default;
    // Answers come to `done` from the event loop of `context`'s thread, once;
    // never once `context` is gone.
    virtual void FindLater(const ServerEntry& server, std::vector<Question> questions,
                           QObject* context, std::function<void(Answers)> done) = 0;
};

// Asks one server who is on it (`status`), then finds each player's GUID:
// from the status itself, from the sources given in turn (what earlier
// questions learnt), then from the deferred source (the server's log, the
// player database), and, for a player none of them knows, from his userinfo (the server's
// `userinfo=` command, its `cl_guid`). A userinfo answer counts only when the address it holds is
// the one `status` showed, so a slot that changed hands in between gives nothing.
//
// Asynchronous over the client's event loop; `finished` comes once, from the
// event loop, and the snapshot is read then. The sources must outlive the
// query.
class StatusQuery : public QObject {
    Q_OBJECT

public:
    StatusQuery(RconClient& client, ServerEntry server, std::vector<GuidSource*> sources,
                QObject* parent = nullptr);
    ~StatusQuery() override;

    // Whether players no source knows are asked for their userinfo (on by
    // default).
    void SetAskUserinfo(bool ask) { askUserinfo_ = ask; }
    // Asks the userinfo of the player in this slot only (one question where
    // only he matters).
    void SetUserinfoSlot(int slot) { userinfoSlot_ = slot; }
    // Asked, when set, for the players the sources did not know; it outlives
    // the query.
    void SetDeferredSource(DeferredGuidSource* source) { deferred_ = source; }
    void Start();

    const ServerEntry& server() const { return server_; }
    const ServerSnapshot& snapshot() const { return snapshot_; }

signals:
    void finished();

private:
    void StatusAnswered(const RconReply& reply);
    void AskDeferred();
    void AskUserinfoOfUnknown();
    void AskUserinfo(std::size_t index);
    void EndOfWait();
    void Finish();

    RconClient& client_;
    ServerEntry server_;
    std::vector<GuidSource*> sources_;
    bool askUserinfo_ = true;
    std::optional<int> userinfoSlot_;
    DeferredGuidSource* deferred_ = nullptr;
    ServerSnapshot snapshot_;
    std::vector<RconClient::RequestId> asked_;
    int waiting_ = 0;
    bool done_ = false;
};

// The userinfo command for a slot, as the server's `userinfo=` template says;
// empty when the template cannot make one (none is asked then).
std::string UserinfoCommand(const ServerEntry& server, int slot);
