#include "RconBanSocket.h"

#include "ReplyClassifier.h"

using enum PollStatus;
using enum RconResult;

SendResult RconBanSocket::SendBan(std::string_view guid, std::string_view ip, std::string_view name,
                                  std::string_view reason) {
    return Send(FormatBanRequest(password(), guid, name, ip, reason));
}

PollStatus RconBanSocket::Poll() {
    const PollStatus status = RconSocket::Poll();
    if (status != POLL_OK) {
        return status;
    }
    SetResult(replyCount() < 1 ? RCON_PENDING : ClassifyReply(Reply(0), kBanPhrases));
    return POLL_OK;
}
