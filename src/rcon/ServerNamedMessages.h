#pragma once

#include "AppConfig.h"
#include "Messages.h"

#include <forward_list>
#include <string>
#include <string_view>

// How the answer of one server reads when it names the server:
// "<server name>: <text>". Both texts are UTF-8.
std::string ServerResultText(std::string_view serverName, std::string_view text);

// Passes messages on to `target`, naming the server in the text of every
// message that is about one of `servers` (its caption is the server's name):
// a caption may be cut by the title bar, the text never is. Other messages
// pass unchanged. The list must outlive the sink.
class ServerNamedMessages : public MessageSink {
public:
    ServerNamedMessages(const std::forward_list<ServerEntry>& servers, MessageSink& target)
        : servers_(servers), target_(target) {}

    void Show(const Message& message) override;
    void ShowThen(const Message& message, std::function<void()> then) override;

private:
    Message Named(const Message& message) const;

    const std::forward_list<ServerEntry>& servers_;
    MessageSink& target_;
};
