#pragma once

#include "BanOutcome.h"
#include "BanState.h"
#include "BanTime.h"
#include "MessageBoxSink.h"
#include "RconClient.h"
#include "ServerNamedMessages.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AppConfig;
class BanRun;
class BanStoreThread;
class CBanReasonDlg;
class KickWherePlaying;
class ServerGuidLookup;

// The active ban states of some GUIDs as the player database gave them: one
// a GUID asked, in order (none where the GUID is not banned now), or why
// they could not be read.
struct ActiveBanStates {
    std::vector<std::optional<BanState>> states;
    std::string failure; // UTF-8; empty when read
};

// The ban and unban of a player on every configured server, for each window
// that offers them (Player Info, Find player; the Servers panel's Ban goes
// through Player Info): one flow, whichever window starts it. It runs a
// BanRun over its own RCON client, keeps every server's outcome in the ban
// records when a player database is configured, and tells each answer over
// the window, naming its server in the text as well as in the caption.
// After the servers, whatever they answered, a ban sets the GUID's ban state
// and an unban lifts it (as quarvelctl ban and unban do), and the state's
// line is told with the servers' answers.
//
// A temp-ban keeps only the state, for the minutes chosen, and temp-kicks
// the player at once from every server he is on now (KickWherePlaying); the
// ban is enforced on connect until it runs out.
//
// Everything the database is asked (records, states) goes to a thread of
// the controller's own (BanStoreThread), so the window never waits for the
// disk; a record or state not kept is said at the flow's end, and what was
// handed over is still kept when the window goes first.
//
// A ban asks its reason once, before the first server, for every server
// (Cancel there sends nothing); "Ask for each server" in that question asks
// server by server instead, where Cancel skips only that server. The choice
// is kept in the user's settings.
//
// While a flow runs the window's close is held back (the flow still asks and
// tells over it) and carried out when the flow is over. The window only
// shows: `started` and `finished` say when to disable and enable its buttons
// and list anew what the flow changed.
class BanController : public QObject {
    Q_OBJECT

public:
    // `config` gives the servers and the database; it and `window` outlive
    // the controller.
    BanController(const AppConfig& config, QDialog& window);
    ~BanController() override;
    BanController(const BanController&) = delete;
    BanController& operator=(const BanController&) = delete;

    // Starts a ban or unban of `target` (log bytes) on every server; false,
    // and nothing started, while another runs.
    bool Start(BanAction action, BanTarget target);
    // Starts a temp-ban of `target` for `minutes` (1 to kMaxBanMinutes) with
    // `reason` (log bytes); false, and nothing started, while another runs
    // or without a player database, where a temp-ban has nowhere to live.
    bool StartTempBan(BanTarget target, long long minutes, std::string reason);
    // Whether a player database is configured: the ban states are kept.
    bool keepsStates() const;
    // Reads the active states of `guids` (UTF-8) on the database thread;
    // the answer comes to `done` from the event loop, unless `context` is
    // gone. Nothing is asked, and nothing comes, without a database.
    void ReadActiveStates(std::vector<std::string> guids, QObject* context,
                          std::function<void(const ActiveBanStates&)> done);
    // From the start until `finished`, the end's messages acknowledged.
    bool running() const { return running_; }

    // The window's done(): true when the close is held until the flow is
    // over, which then closes it with `result`.
    bool HoldClose(int result);

    // Where the flows' messages go: message boxes over the window, each
    // server's answer naming the server in its text too, unless another sink
    // is given (null restores the message boxes).
    void SetMessageSink(MessageSink* messages);
    // Who and when the ban records say; the login name and the local clock
    // unless set.
    void SetRecordIdentity(std::string admin, BanClock clock);
    // Whether a ban asks its reason server by server: as the user last chose,
    // once for every server unless he has chosen.
    bool askEachServer() const { return askEachServer_; }
    void SetAskEachServer(bool each) { askEachServer_ = each; }

signals:
    void started();
    // The flow is over, its messages acknowledged: one result per server in
    // list order (none when it was refused before it began). A temp-ban
    // ends as a TempKick with one result per server asked.
    void finished(BanAction action, const std::vector<ServerResult>& results);

private:
    class Reasons;
    struct FlowEnd;

    BanStoreThread& Store();
    void RunEnded();
    // Tells what the database kept of the flow, then finishes.
    void TellEnd(const FlowEnd& end);
    void TempBanKept(const FlowEnd& end);
    void KicksEnded();
    // Tells what became of the flow's records, then finishes.
    void EndRecords(std::vector<Message> messages);
    void Finish();

    const AppConfig& config_;
    QDialog& window_;
    MessageBoxSink messageBoxes_;
    ServerNamedMessages namedBoxes_;
    MessageSink* messages_ = &namedBoxes_;
    std::string admin_;
    BanClock clock_;
    bool askEachServer_ = false;

    // What a run uses goes after it is gone: declared before it.
    RconClient client_;
    QPointer<CBanReasonDlg> reasonDialog_;
    std::unique_ptr<Reasons> reasons_;
    std::unique_ptr<BanStoreThread> store_;   // made at the first use
    std::unique_ptr<ServerGuidLookup> guids_; // made at the first temp-ban, its logs followed since
    std::unique_ptr<BanRun> run_;
    std::unique_ptr<KickWherePlaying> kicks_;
    BanTarget target_;

    BanAction action_ = BanAction::Ban;
    std::vector<ServerResult> results_;
    bool running_ = false;
    bool closeHeld_ = false;
    int heldResult_ = QDialog::Rejected;
};
