#pragma once

#include "RconClient.h"

#include <QEventLoop>
#include <QTimer>
#include <optional>
#include <string_view>

// Sends one command through `client` and waits in the test's event loop for
// its reply (10 s at most); nothing when none came.
inline std::optional<RconReply> AskAndWait(RconClient& client, const ServerEntry& server,
                                           std::string_view command, RconTiming timing = {}) {
    std::optional<RconReply> got;
    QEventLoop loop;
    client.Send(
        server, command,
        [&](const RconReply& reply) {
            got = reply;
            loop.quit();
        },
        std::move(timing));
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!got) {
        loop.exec();
    }
    return got;
}

// The same with a request datagram made elsewhere.
inline std::optional<RconReply> SendAndWait(RconClient& client, const ServerEntry& server,
                                            RconRequest request, RconTiming timing = {}) {
    std::optional<RconReply> got;
    QEventLoop loop;
    client.SendRequest(
        server, std::move(request),
        [&](const RconReply& reply) {
            got = reply;
            loop.quit();
        },
        std::move(timing));
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!got) {
        loop.exec();
    }
    return got;
}
