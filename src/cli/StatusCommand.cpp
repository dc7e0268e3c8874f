// quarvelctl status: who is on each server now, asked of every server at
// once, with each player's GUID where Quarvel knows it.
#include "AppConfig.h"
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "Json.h"
#include "ServerGuidLookup.h"
#include "ServerRequests.h"
#include "StatusQuery.h"
#include "VisibleText.h"
#include "Windows1252.h"

#include <QEventLoop>
#include <cstdio>
#include <memory>

namespace {

std::string PingText(const StatusPlayer& player) {
    switch (player.state) {
    case PingState::Connecting:
        return "\"connecting\"";
    case PingState::Zombie:
        return "\"zombie\"";
    case PingState::Playing:
        break;
    }
    return std::to_string(player.ping);
}

std::string PlainName(std::string_view name) {
    std::string plain;
    AppendVisibleText(name, plain);
    return plain;
}

void AppendJsonOrNull(std::string& out, std::string_view utf8) {
    if (utf8.empty()) {
        out += "null";
    } else {
        AppendJsonString(out, utf8);
    }
}

std::string JsonLine(const ServerEntry& server, const ServerSnapshot& snapshot) {
    std::string out = "{\"name\": ";
    AppendJsonLogText(out, server.name);
    out += ", \"reachable\": ";
    out += snapshot.reachable ? "true" : "false";
    out += ", \"error\": ";
    AppendJsonOrNull(out, snapshot.failure);
    out += ", \"map\": ";
    AppendJsonLogText(out, snapshot.map);
    out += ", \"players\": [";
    bool first = true;
    for (const LivePlayer& live : snapshot.players) {
        const StatusPlayer& player = live.status;
        out += first ? "{" : ", {";
        first = false;
        out += "\"slot\": " + std::to_string(player.slot) + ", \"name\": ";
        AppendJsonLogText(out, player.name);
        out += ", \"plainName\": ";
        AppendJsonLogText(out, PlainName(player.name));
        out += ", \"score\": " + std::to_string(player.score) + ", \"ping\": " + PingText(player);
        out += ", \"address\": ";
        AppendJsonLogText(out, player.address);
        out += ", \"guid\": ";
        AppendJsonOrNull(out, live.guid.guid);
        out += ", \"guidFrom\": ";
        AppendJsonOrNull(out, GuidFromName(live.guid.from));
        out += ", \"ban\": ";
        AppendJsonOrNull(out, live.guid.ban);
        out += "}";
    }
    return out + "]}\n";
}

// "<name>: <map>, <n> players", then a line a player; or "<name>: <failure>".
std::string TextLines(const ServerEntry& server, const ServerSnapshot& snapshot) {
    std::string out = Windows1252ToUtf8(server.name) + ": " + SnapshotSummary(snapshot) + "\n";
    if (!snapshot.ok()) {
        return out;
    }
    for (const LivePlayer& live : snapshot.players) {
        const StatusPlayer& player = live.status;
        const std::string ping = player.state == PingState::Playing ? std::to_string(player.ping)
                                 : player.state == PingState::Connecting ? "CNCT"
                                                                         : "ZMBI";
        char head[64];
        std::snprintf(head, sizeof head, "%3d %5d %4s ", player.slot, player.score, ping.c_str());
        out += head + Windows1252ToUtf8(PlainName(player.name)) + "  " +
               Windows1252ToUtf8(player.address);
        if (live.guid.from != GuidFrom::None) {
            out += "  " + live.guid.guid + " (" + std::string(GuidFromName(live.guid.from)) + ")";
        }
        // The ban that holds him off now, as the Servers panel's Ban column.
        if (!live.guid.ban.empty()) {
            out += "  " + live.guid.ban;
        }
        out += "\n";
    }
    return out;
}

} // namespace

int RunStatus(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "status", error);
    if (!args || !args->positional().empty()) {
        PrintError(args ? "usage: quarvelctl status [--config FILE] [--server NAME] [--json]"
                        : error);
        return 2;
    }
    const auto config = LoadConfigForCommand(*args);
    if (!config) {
        return 1;
    }
    const auto servers = ChooseServers(*config, *args, false);
    if (!servers) {
        return args->Value("server") ? 2 : 1;
    }
    // The servers' logs and the player database are read as the Servers
    // panel reads them, on a thread of their own.
    ServerGuidLookup guids(*config);
    QObject::connect(&guids, &ServerGuidLookup::problem,
                     [](const QString& text) { PrintError(text.toStdString()); });
    RconClient client;
    std::vector<std::unique_ptr<StatusQuery>> queries;
    QEventLoop loop;
    std::size_t finished = 0;
    for (const ServerEntry& server : *servers) {
        auto& query = queries.emplace_back(
            std::make_unique<StatusQuery>(client, server, std::vector<GuidSource*>{}));
        query->SetDeferredSource(&guids);
        QObject::connect(query.get(), &StatusQuery::finished, &loop, [&] {
            if (++finished == queries.size()) {
                loop.quit();
            }
        });
    }
    for (const auto& query : queries) {
        query->Start();
    }
    loop.exec();
    const bool json = args->Flag("json");
    std::string out;
    bool everyOk = true;
    for (const auto& query : queries) {
        out += json ? JsonLine(query->server(), query->snapshot())
                    : TextLines(query->server(), query->snapshot());
        everyOk = everyOk && query->snapshot().ok();
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return everyOk ? 0 : 1;
}
