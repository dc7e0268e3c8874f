#include "ServerRequests.h"

#include "Commands.h"
#include "ConfigLoading.h"
#include "RconClient.h"
#include "Windows1252.h"

#include <QEventLoop>
#include <cstdio>

std::optional<std::vector<ServerEntry>> ChooseServers(const AppConfig& config,
                                                      const Arguments& args, bool required) {
    const auto name = args.Value("server");
    if (!name && required) {
        PrintError("--server NAME is needed");
        return std::nullopt;
    }
    std::vector<ServerEntry> chosen;
    const std::string wanted = name ? Utf8ToWindows1252(*name) : std::string();
    for (const ServerEntry& server : config.servers) {
        if (!name || server.name == wanted) {
            chosen.push_back(server);
        }
    }
    if (chosen.empty()) {
        PrintError(name ? "no server is named " + *name : std::string("no server is configured"));
        return std::nullopt;
    }
    if (name && chosen.size() > 1) {
        // Two blocks of one name: the one asked first, as a ban would.
        chosen.resize(1);
    }
    return chosen;
}

RconReply SendAndWait(const ServerEntry& server, std::string_view command) {
    RconClient client;
    RconReply got;
    QEventLoop loop;
    client.Send(server, command, [&](const RconReply& reply) {
        got = reply;
        loop.quit();
    });
    loop.exec();
    return got;
}

int ExitCodeOfReply(const RconReply& reply, std::string_view serverName) {
    using enum RconReplyStatus;
    if (reply.answered()) {
        return 0;
    }
    PrintError(Windows1252ToUtf8(serverName) + ": " + ReplyFailureMessage(reply, serverName).text);
    switch (reply.status) {
    case BadPassword:
    case NoPassword:
        return 4;
    case NotSent:
        return 2;
    default:
        return 3;
    }
}

std::string JoinedWords(const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& word : words) {
        joined += (joined.empty() ? "" : " ") + word;
    }
    return joined;
}

std::optional<ServerEntry> LoadServerForCommand(const Arguments& args, int& exitCode,
                                                AppConfig* config) {
    auto loaded = LoadConfigForCommand(args);
    if (!loaded) {
        exitCode = 1;
        return std::nullopt;
    }
    const auto servers = ChooseServers(*loaded, args, true);
    if (!servers) {
        exitCode = 2;
        return std::nullopt;
    }
    if (config != nullptr) {
        *config = std::move(*loaded);
    }
    return servers->front();
}

void PrintAnswer(const RconReply& reply) {
    const std::string out = Windows1252ToUtf8(reply.text);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

int SendAndPrint(const ServerEntry& server, std::string_view command) {
    const RconReply reply = SendAndWait(server, command);
    PrintAnswer(reply);
    return ExitCodeOfReply(reply, server.name);
}
