#pragma once

#include "AppConfig.h"
#include "Messages.h"

#include <forward_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ReplyWaiter;

// The player a ban is for, as the Player Info window was filled: log bytes.
struct BanTarget {
    std::string guid; // 32 hexadecimal digits, or empty
    std::string ip;   // the address text of the player's connection
    std::string name; // the name as written in the log line, colour codes included
};

// What a ban or unban for a player without connection data says: nothing
// is asked and nothing is sent.
inline constexpr std::string_view kNoConnectionDataRefusal =
    "No connection data for this player: nothing was sent";

// True when the target names a connection: a GUID and an address to ban.
bool HasConnectionData(const BanTarget& target);

// Where the ban flow asks for the reason to ban with on one server (the Ban
// reason dialog in the GUI, a fixed text in quarvelctl).
class BanReasonSource {
public:
    virtual ~BanReasonSource() = default;
    // `prompt` is UTF-8. The reason as log bytes, or nothing when the user
    // cancelled, which skips that server.
    virtual std::optional<std::string> AskReason(const std::string& prompt) = 0;
};

// What became of the command on one server.
enum class ServerOutcome {
    Done,    // the server carried it out
    Refused, // the server refused it (already banned, not banned)
    Failed,  // no answer, a bad answer, a socket failure, or not sent
    Skipped, // the user cancelled the reason
};

struct ServerResult {
    std::string server; // the server's name (log bytes)
    ServerOutcome outcome = ServerOutcome::Failed;
    Message message; // what the user was shown; empty text for a skipped server
};

enum class BanAction { Ban, Unban };

// One server's outcome of a ban or unban, as the flow hands it on to be kept:
// what was asked of which player, and how the server answered. Texts are log
// bytes; the message is the one the user is shown (UTF-8).
struct ServerOutcomeRecord {
    BanAction action = BanAction::Ban;
    const BanTarget& target; // an unban knows the name and address only when its caller did
    std::string_view reason; // empty for an unban
    const ServerResult& result;
};

// Where the flows hand every server's outcome as soon as it is known, before
// the user is told: the player database's ban records. A server skipped with
// Cancel has no outcome to keep. Recording must not throw: a record that
// cannot be kept never stops or undoes the command.
class ServerOutcomeRecorder {
public:
    virtual ~ServerOutcomeRecorder() = default;
    virtual void Record(const ServerOutcomeRecord& record) = 0;
};

// Bans the target's GUID on every server, from the head of the list, one after
// the other: a reason is asked per server, the request sent and its reply
// awaited, and the outcome shown through `messages`. A failure on one server
// never stops the others. One result per server, in list order; none, after
// the "No servers configured" warning, when the list is empty, and none
// after the `kNoConnectionDataRefusal` message, before anything is asked,
// when the target has no GUID or no address. Each outcome goes to
// `recorder` too, when one is given.
std::vector<ServerResult> BanOnEveryServer(const std::forward_list<ServerEntry>& servers,
                                           const BanTarget& target, BanReasonSource& reasons,
                                           ReplyWaiter& waiter, MessageSink& messages,
                                           ServerOutcomeRecorder* recorder = nullptr);

// Lifts the GUID's ban on every server, the same way, without questions; an
// empty GUID is refused as a target without connection data is.
std::vector<ServerResult> UnbanOnEveryServer(const std::forward_list<ServerEntry>& servers,
                                             std::string_view guid, ReplyWaiter& waiter,
                                             MessageSink& messages,
                                             ServerOutcomeRecorder* recorder = nullptr);

// The same for the target's GUID; only the GUID is sent, the name and address
// are there for the records.
std::vector<ServerResult> UnbanOnEveryServer(const std::forward_list<ServerEntry>& servers,
                                             const BanTarget& target, ReplyWaiter& waiter,
                                             MessageSink& messages,
                                             ServerOutcomeRecorder* recorder = nullptr);

// True when there were servers and every one carried the command out.
bool EveryServerDone(const std::vector<ServerResult>& results);
