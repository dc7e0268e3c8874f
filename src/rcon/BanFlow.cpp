#include "BanFlow.h"

#include "Messages.h"
#include "RconBanSocket.h"
#include "RconUnbanSocket.h"
#include "ReplyWaiter.h"
#include "Windows1252.h"

#include <algorithm>

using enum SendResult;
using enum RconResult;

namespace {

// How the server's own answer to a command is worded.
struct AnswerTexts {
    const char* done;
    const char* refused;
};

constexpr AnswerTexts kBanAnswers{
    "GUID added to ban list",
    "Ban failed\nUsually this happens if the\nsupplied GUID is already banned"};
constexpr AnswerTexts kUnbanAnswers{
    "GUID removed from ban list",
    "Unban failed\nUsually this happens if the\nsupplied GUID is not banned"};

// A player the log holds no connection for has no GUID (and no address) to
// send: the request is refused once, before any reason is asked, instead of
// reaching every server with an empty GUID.
bool RefuseWithoutConnectionData(bool hasConnectionData, MessageSink& messages) {
    if (hasConnectionData) {
        return false;
    }
    messages.Show({std::string(kNoConnectionDataRefusal), kApplicationTitle, MessageIcon::Warning});
    return true;
}

bool WarnWhenNoServers(const std::forward_list<ServerEntry>& servers, MessageSink& messages) {
    if (!servers.empty()) {
        return false;
    }
    messages.Show({"No servers configured", "Warning", MessageIcon::Warning});
    return true;
}

// Follows a request just made on `socket` (`sent` being what the send
// returned) to its end: how it ended and what the user is to be told.
ServerResult Conclude(RconSocket& socket, SendResult sent, const ServerEntry& server,
                      const AnswerTexts& answers, ReplyWaiter& waiter) {
    const std::string caption = Windows1252ToUtf8(server.name);
    ServerResult result{server.name, ServerOutcome::Failed, {}};
    if (sent == SEND_REFUSED) {
        result.message = {socket.refusal(), caption, MessageIcon::Warning};
    } else {
        // A send the socket layer did not take is not told by itself: nothing
        // can answer it, and the wait ends in "No reply".
        const WaitOutcome outcome = waiter.AwaitReply(socket, server);
        if (!outcome.answered) {
            result.message = outcome.failure;
        } else if (socket.result() == RCON_DONE) {
            result.outcome = ServerOutcome::Done;
            result.message = {answers.done, caption, MessageIcon::None};
        } else {
            result.outcome = ServerOutcome::Refused;
            result.message = {answers.refused, caption, MessageIcon::Warning};
        }
    }
    return result;
}

// Keeps the outcome first, so that its record carries the moment the server
// answered rather than the moment the user read the answer, then tells it.
void Report(const ServerOutcomeRecord& record, ServerOutcomeRecorder* recorder,
            MessageSink& messages) {
    if (recorder != nullptr) {
        recorder->Record(record);
    }
    messages.Show(record.result.message);
}

} // namespace

std::vector<ServerResult> BanOnEveryServer(const std::forward_list<ServerEntry>& servers,
                                           const BanTarget& target, BanReasonSource& reasons,
                                           ReplyWaiter& waiter, MessageSink& messages,
                                           ServerOutcomeRecorder* recorder) {
    std::vector<ServerResult> results;
    if (RefuseWithoutConnectionData(HasConnectionData(target), messages) ||
        WarnWhenNoServers(servers, messages)) {
        return results;
    }
    for (const ServerEntry& server : servers) {
        const auto reason =
            reasons.AskReason("Enter ban reason for " + Windows1252ToUtf8(server.name));
        if (!reason) {
            results.push_back({server.name, ServerOutcome::Skipped, {}});
            continue;
        }
        RconBanSocket socket(server.address, server.port, server.rconpass);
        const SendResult sent = socket.SendBan(target.guid, target.ip, target.name, *reason);
        results.push_back(Conclude(socket, sent, server, kBanAnswers, waiter));
        Report({BanAction::Ban, target, *reason, results.back()}, recorder, messages);
    }
    return results;
}

std::vector<ServerResult> UnbanOnEveryServer(const std::forward_list<ServerEntry>& servers,
                                             std::string_view guid, ReplyWaiter& waiter,
                                             MessageSink& messages,
                                             ServerOutcomeRecorder* recorder) {
    return UnbanOnEveryServer(servers, BanTarget{std::string(guid), {}, {}}, waiter, messages,
                              recorder);
}

std::vector<ServerResult> UnbanOnEveryServer(const std::forward_list<ServerEntry>& servers,
                                             const BanTarget& target, ReplyWaiter& waiter,
                                             MessageSink& messages,
                                             ServerOutcomeRecorder* recorder) {
    std::vector<ServerResult> results;
    if (RefuseWithoutConnectionData(!target.guid.empty(), messages) ||
        WarnWhenNoServers(servers, messages)) {
        return results;
    }
    for (const ServerEntry& server : servers) {
        RconUnbanSocket socket(server.address, server.port, server.rconpass);
        const SendResult sent = socket.SendUnban(target.guid);
        results.push_back(Conclude(socket, sent, server, kUnbanAnswers, waiter));
        Report({BanAction::Unban, target, {}, results.back()}, recorder, messages);
    }
    return results;
}

bool HasConnectionData(const BanTarget& target) {
    return !target.guid.empty() && !target.ip.empty();
}

bool EveryServerDone(const std::vector<ServerResult>& results) {
    return !results.empty() && std::all_of(results.begin(), results.end(), [](const auto& r) {
        return r.outcome == ServerOutcome::Done;
    });
}
