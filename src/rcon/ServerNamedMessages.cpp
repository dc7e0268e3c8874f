#include "ServerNamedMessages.h"

#include "Windows1252.h"

#include <algorithm>

std::string ServerResultText(std::string_view serverName, std::string_view text) {
    std::string named(serverName);
    named += ": ";
    named += text;
    return named;
}

Message ServerNamedMessages::Named(const Message& message) const {
    // Server names are log bytes; captions are UTF-8.
    const bool aboutServer =
        !message.caption.empty() &&
        std::any_of(servers_.begin(), servers_.end(), [&](const ServerEntry& server) {
            return Windows1252ToUtf8(server.name) == message.caption;
        });
    if (!aboutServer) {
        return message;
    }
    Message named = message;
    named.text = ServerResultText(message.caption, message.text);
    return named;
}

void ServerNamedMessages::Show(const Message& message) {
    target_.Show(Named(message));
}

void ServerNamedMessages::ShowThen(const Message& message, std::function<void()> then) {
    target_.ShowThen(Named(message), std::move(then));
}
