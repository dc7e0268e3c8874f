#pragma once

#include "AppConfig.h"
#include "BanOutcome.h"
#include "Messages.h"
#include "RconClient.h"

#include <QObject>
#include <QPointer>
#include <forward_list>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a ban or unban for a player without connection data says: nothing
// is asked and nothing is sent.
inline constexpr std::string_view kNoConnectionDataRefusal =
    "No connection data for this player: nothing was sent";

// True when the target names a connection: a GUID and an address to ban.
bool HasConnectionData(const BanTarget& target);

// What the user is told, and the ban records keep as the result, when a
// server carried a ban out, and when it refused it because the GUID is on its
// ban list already.
inline constexpr char kBanDoneText[] = "GUID added to ban list";
inline constexpr char kBanRefusedText[] =
    "Ban failed\nUsually this happens if the\nsupplied GUID is already banned";

// Where the ban flow asks for the reason to ban with on one server (the Ban
// reason dialog in the GUI, a fixed text in quarvelctl).
class BanReasonSource {
public:
    // The reason as log bytes, or nothing when the user cancelled, which
    // skips that server.
    using Answer = std::function<void(std::optional<std::string> reason)>;

    virtual ~BanReasonSource() = default;
    // `prompt` is UTF-8. `answer` is called once, at once or later from the
    // event loop.
    virtual void AskReason(const std::string& prompt, Answer answer) = 0;
};

// Every server is asked with the same reason (log bytes): quarvelctl's
// --reason, a ban state's reason when it is taken to the servers again.
class FixedBanReason final : public BanReasonSource {
public:
    explicit FixedBanReason(std::string reason) : reason_(std::move(reason)) {}
    void AskReason(const std::string&, Answer answer) override { answer(reason_); }

private:
    std::string reason_;
};

// One ban or unban of a GUID on every server, from the head of the list, one
// server after the other: for a ban a reason is asked per server (Cancel
// skips it), the request is sent through the RCON client, and once the
// server's answer is in, the outcome goes to the recorder and is told
// through the message sink; the next server comes when the user has
// acknowledged it. A failure on one server never stops the others. Nothing
// of it holds the thread: every step waits in the event loop.
//
// Refused before anything is asked: a target without a GUID (and, for a ban,
// without an address), with kNoConnectionDataRefusal; an empty server list,
// with "No servers configured". `finished` follows the last message. An
// action other than a ban or unban ends the run at once, nothing sent.
class BanRun : public QObject {
    Q_OBJECT

public:
    // The client, the reason source, the sink and the recorder must outlive
    // the run; the servers are copied. `reasons` is needed for a ban only.
    BanRun(BanAction action, RconClient& client, const std::forward_list<ServerEntry>& servers,
           BanTarget target, BanReasonSource* reasons, MessageSink& messages,
           ServerOutcomeRecorder* recorder, QObject* parent = nullptr);
    ~BanRun() override;

    // Starts the run; what it asks and tells comes from the event loop or
    // from within this call.
    void Start();

    bool running() const { return running_; }
    // One result per server, in list order: done, refused, failed or
    // skipped. None when the run was refused before it began.
    const std::vector<ServerResult>& results() const { return results_; }

signals:
    void finished();

private:
    void Next();
    void SendTo(const ServerEntry& server, const std::string& reason);
    void Conclude(const ServerEntry& server, const std::string& reason, const RconReply& reply);
    void Finish();

    BanAction action_;
    RconClient& client_;
    std::vector<ServerEntry> servers_;
    BanTarget target_;
    BanReasonSource* reasons_;
    MessageSink& messages_;
    ServerOutcomeRecorder* recorder_;
    std::vector<ServerResult> results_;
    std::size_t next_ = 0;
    bool running_ = false;
    RconClient::RequestId request_ = 0;
};

// True when there were servers and every one carried the command out.
bool EveryServerDone(const std::vector<ServerResult>& results);
