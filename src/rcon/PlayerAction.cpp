#include "PlayerAction.h"

#include "ReplyAssembly.h"
#include "Windows1252.h"

#include <algorithm>
#include <cctype>

void PlayerAction::Record(ServerOutcomeRecorder* recorder, const BanTarget& target,
                          const ServerResult& result) const {
    if (recorder != nullptr) {
        recorder->Record({action, target, reason, result, minutes});
    }
}

ExpandedCommand PlayerAction::KickCommand(const ServerCommands& commands, int slot) const {
    CommandValues values;
    values.slot = slot;
    values.reason = reason;
    values.minutes = minutes;
    const ServerCommand command =
        action == BanAction::TempKick ? ServerCommand::TempKick : ServerCommand::Kick;
    return ExpandServerCommand(commands.Template(command), values);
}

std::optional<PlayerAction> PlayerActionOf(ServerCommand command, const CommandValues& values) {
    const std::string reason(values.reason.value_or(""));
    switch (command) {
    case ServerCommand::Kick:
        return PlayerAction{BanAction::Kick, reason};
    case ServerCommand::TempKick:
        return PlayerAction{BanAction::TempKick, reason, values.minutes};
    case ServerCommand::Say:
        return PlayerAction{BanAction::Message, std::string(values.text.value_or(""))};
    case ServerCommand::Userinfo:
        break;
    }
    return std::nullopt;
}

bool IsUnknownCommandAnswer(std::string_view answer) {
    constexpr std::string_view kUnknown = "unknown command";
    const std::string_view first = FirstLine(answer);
    return first.size() >= kUnknown.size() &&
           std::equal(kUnknown.begin(), kUnknown.end(), first.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

ServerResult ActionResult(const RconReply& reply, std::string_view serverName) {
    ServerResult result{std::string(serverName), ServerOutcome::Failed,
                        ReplyFailureMessage(reply, serverName)};
    // A server that does not know the command (a kick template for an
    // engine it does not run) answers, but did nothing: that is a failure,
    // never "Done", or a ban would be recorded as enforced when it was not.
    if (reply.answered() && !IsUnknownCommandAnswer(reply.text)) {
        std::string text = Windows1252ToUtf8(reply.text);
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
            text.pop_back();
        }
        result.outcome = ServerOutcome::Done;
        result.message.text = text.empty() ? std::string("Done") : text;
        result.message.icon = MessageIcon::None;
    } else if (reply.status == RconReplyStatus::BadPassword ||
               reply.status == RconReplyStatus::NoPassword) {
        result.outcome = ServerOutcome::Refused;
    }
    return result;
}

ServerResult ActionNotSent(std::string_view serverName, std::string error) {
    return {std::string(serverName), ServerOutcome::Failed,
            Message{std::move(error), Windows1252ToUtf8(serverName), MessageIcon::Warning}};
}
