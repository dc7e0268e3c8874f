#include "RconBanSocket.h"

#include "ReplyClassifier.h"

int RconBanSocket::SendBan(std::string_view guid, std::string_view ip, std::string_view name,
                           std::string_view reason) {
    return Send(FormatBanRequest(password(), guid, name, ip, reason));
}

int RconBanSocket::Poll() {
    const int status = RconSocket::Poll();
    if (status != POLL_OK) {
        return status;
    }
    SetResult(replyCount() < 1 ? RCON_PENDING : ClassifyReply(Reply(0), kBanPhrases));
    return POLL_OK;
}
