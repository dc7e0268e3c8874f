#include "RconUnbanSocket.h"

#include "ReplyClassifier.h"

using enum PollStatus;
using enum RconResult;

SendResult RconUnbanSocket::SendUnban(std::string_view guid) {
    return Send(FormatUnbanRequest(password(), guid));
}

PollStatus RconUnbanSocket::Poll() {
    const PollStatus status = RconSocket::Poll();
    if (status != POLL_OK) {
        return status;
    }
    SetResult(replyCount() < 1 ? RCON_PENDING : ClassifyReply(Reply(0), kUnbanPhrases));
    return POLL_OK;
}
