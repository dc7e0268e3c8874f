#pragma once

#include "RconSocket.h"

// A request socket for `pb_sv_unbanguid`: lifts a GUID's ban on one server.
class RconUnbanSocket : public RconSocket {
public:
    using RconSocket::RconSocket;
    ~RconUnbanSocket() override = default;

    // The GUID is log bytes; one that may not be sent, or a password that may
    // not, refuses the request. SEND_DONE, SEND_FAILED or SEND_REFUSED.
    SendResult SendUnban(std::string_view guid);

    // Classifies the first reply by the unban phrases.
    PollStatus Poll() override;
};
