#include "RconReply.h"

#include "ReplyAssembly.h"
#include "Windows1252.h"

namespace {

// A first line is quoted up to this many bytes.
constexpr std::size_t kQuotedLineLimit = 160;

Message Told(std::string text, std::string_view serverName, MessageIcon icon) {
    return {std::move(text), Windows1252ToUtf8(serverName), icon};
}

} // namespace

RconReplyStatus StatusOfAnswer(std::string_view text) {
    const std::string_view first = FirstLine(text);
    if (first.starts_with(kBadPasswordReply)) {
        return RconReplyStatus::BadPassword;
    }
    if (first.starts_with(kNoPasswordReply)) {
        return RconReplyStatus::NoPassword;
    }
    return RconReplyStatus::Answered;
}

std::string BadReplyText(std::string_view answer) {
    std::string_view line = FirstLine(answer);
    if (line.empty()) {
        return "Bad reply";
    }
    const bool cut = line.size() > kQuotedLineLimit;
    line = line.substr(0, kQuotedLineLimit);
    return "Bad reply: " + Windows1252ToUtf8(line) + (cut ? "..." : "");
}

Message ReplyFailureMessage(const RconReply& reply, std::string_view serverName) {
    using enum RconReplyStatus;
    switch (reply.status) {
    case Answered:
        return Told(BadReplyText(reply.text), serverName, MessageIcon::Error);
    case BadPassword:
        return Told("Invalid RCON password", serverName, MessageIcon::Warning);
    case NoPassword:
        return Told("No RCON password is set on the server", serverName, MessageIcon::Warning);
    case NoReply:
        return Told("No reply", serverName, MessageIcon::Error);
    case NotSent:
        return Told(reply.refusal, serverName, MessageIcon::Warning);
    case Unresolved:
        return Told(reply.refusal, serverName, MessageIcon::Error);
    case SocketError:
        return Told("ReceiveFrom ERROR " + std::to_string(reply.errorNumber), serverName,
                    MessageIcon::Error);
    case Closed:
        return Told("Connection was closed", serverName, MessageIcon::Error);
    case Overflow:
        return Told("Too many messages received", serverName, MessageIcon::Error);
    }
    return Told("Unknown result: " + std::to_string(static_cast<int>(reply.status)), serverName,
                MessageIcon::Error);
}
