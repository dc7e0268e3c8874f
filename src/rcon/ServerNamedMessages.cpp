#include "ServerNamedMessages.h"

#include "Windows1252.h"

#include <algorithm>

std::string ServerResultText(std::string_view serverName, std::string_view text) {
    std::string named(serverName);
    named += ": ";
    named += text;
    return named;
}

void ServerNamedMessages::Show(const Message& message) {
    // Server names are log bytes; captions are UTF-8.
    const bool aboutServer =
        !message.caption.empty() &&
        std::any_of(servers_.begin(), servers_.end(), [&](const ServerEntry& server) {
            return Windows1252ToUtf8(server.name) == message.caption;
        });
    if (!aboutServer) {
        target_.Show(message);
        return;
    }
    Message named = message;
    named.text = ServerResultText(message.caption, message.text);
    target_.Show(named);
}
