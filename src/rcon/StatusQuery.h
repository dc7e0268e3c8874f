#pragma once

#include "AppConfig.h"
#include "RconClient.h"
#include "ServerSnapshot.h"

#include <QObject>
#include <optional>
#include <vector>

// Asks one server who is on it (`status`), then finds each player's GUID:
// from the status itself, from the sources given in turn (the server's log,
// the player database, what earlier questions learnt), and, for a player none
// of them knows, from his userinfo (the server's `userinfo=` command, its
// `cl_guid`). A userinfo answer counts only when the address it holds is the
// one `status` showed, so a slot that changed hands in between gives nothing.
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
    void Start();

    const ServerEntry& server() const { return server_; }
    const ServerSnapshot& snapshot() const { return snapshot_; }

signals:
    void finished();

private:
    void StatusAnswered(const RconReply& reply);
    void AskUserinfo(std::size_t index);
    void Finish();

    RconClient& client_;
    ServerEntry server_;
    std::vector<GuidSource*> sources_;
    bool askUserinfo_ = true;
    std::optional<int> userinfoSlot_;
    ServerSnapshot snapshot_;
    std::vector<RconClient::RequestId> asked_;
    int waiting_ = 0;
    bool done_ = false;
};

// The userinfo command for a slot, as the server's `userinfo=` template says;
// empty when the template cannot make one (none is asked then).
std::string UserinfoCommand(const ServerEntry& server, int slot);
