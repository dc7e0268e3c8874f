#pragma once

#include "AppConfig.h"
#include "BanOutcome.h"
#include "Messages.h"

#include <forward_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ReplyWaiter;

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
