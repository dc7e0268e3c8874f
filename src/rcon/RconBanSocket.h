#pragma once

#include "RconSocket.h"

// A request socket for `pb_sv_banguid`: bans a GUID on one server.
class RconBanSocket : public RconSocket {
public:
    using RconSocket::RconSocket;
    ~RconBanSocket() override = default;

    // Texts are log bytes. The name and reason are mended (RconCommand.h);
    // a GUID, IP text or password that may not be sent, or a command too long
    // for one datagram, refuses the request. SEND_DONE, SEND_FAILED or
    // SEND_REFUSED.
    SendResult SendBan(std::string_view guid, std::string_view ip, std::string_view name,
                       std::string_view reason);

    // Classifies the first reply by the ban phrases.
    PollStatus Poll() override;
};
