#pragma once

#include "AppConfig.h"
#include "BanRecordStore.h"
#include "BanStates.h"
#include "EventText.h"
#include "RconClient.h"

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

class LogModel;

// Keeps banned players off one server: each ClientConnect line of the
// server's log that is read live (appended while its follower runs) is
// checked against the ban states of the player database, and a GUID an
// active ban holds off is kicked at once from the connect's slot on this
// server only, with the ban's reason: a temp-kick for what is left of a
// temp-ban, a kick for a permanent one (BanKickAction). Every kick is kept
// as a ban record of the server whose result names the ban.
//
// "One connect" is one line of the log: the follower hands each line over
// once, as it is read, and only lines it reads live, never those it found
// when it started. A file that takes the log's place while it runs (a
// rotation, a truncation) was written since: of its connects, the latest of
// each slot is enforced, an earlier one's slot having been taken again. Two
// followers of two servers' logs each enforce on their own server; a
// follower started again enforces only what is written after its start, so
// no connect is kicked twice.
//
// The check is one prepared statement on a connection kept open (BanStates),
// made on the follower's own thread as the line is read; the kick leaves on
// the RCON client's event loop without waiting for anything else. A check
// the database cannot answer is said (`problem`) and that connect goes
// unkicked; the next one is checked again.
class BanEnforcer : public QObject {
    Q_OBJECT

public:
    BanEnforcer(ServerEntry server, const std::string& databaseLocation, QObject* parent = nullptr);
    ~BanEnforcer() override;

    // Lines [first, lineCount) of the model were read live.
    void LinesRead(const LogModel& model, int first);
    // One line read live, of a log whose time stamps are `eventTextOffset`
    // bytes wide.
    void LineRead(std::string_view line, int eventTextOffset);
    // The model's file took the log's place while the follower ran: the
    // latest connect of each slot it holds, in the order of the lines.
    void FileReplaced(const LogModel& model);

    const ServerEntry& server() const { return server_; }
    // Kicks sent whose answer (and record) is still due.
    int pending() const { return pending_; }

signals:
    // A kick's outcome, one line (UTF-8): "<server>: slot <n> <GUID>:
    // <what came of it>".
    void enforced(const QString& text);
    // A ban that could not be checked or a record that was not stored.
    void problem(const QString& text);
    // The last kick due was answered and recorded.
    void settled();

private:
    void Kick(int slot, std::string_view ip, const BanState& ban);

    ServerEntry server_;
    BanStates states_;
    BanRecordStore records_;
    RconClient client_;
    EventTextBuffer buffer_{};
    int recordsFailed_ = 0;
    int pending_ = 0;
};

// The server whose log= names the log at `path` (links resolved, relative
// paths read from the working folder), the first in the order the servers
// are asked; nothing when none does.
std::optional<ServerEntry> ServerOfLog(const AppConfig& config, const QString& path);
