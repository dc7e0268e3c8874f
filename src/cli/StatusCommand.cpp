// quarvelctl status: who is on each server now, asked of every server at
// once, with each player's GUID where Quarvel knows it.
#include "AppConfig.h"
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "DatabaseGuids.h"
#include "Json.h"
#include "LogLoading.h"
#include "PlayerDatabase.h"
#include "ServerRequests.h"
#include "SlotGuids.h"
#include "SqlPlayerLookup.h"
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
        out += "\n";
    }
    return out;
}

// The player database as a GUID source, when one is configured and opens.
struct DatabaseSource {
    std::unique_ptr<SqlPlayerLookup> lookup;
    std::unique_ptr<DatabaseGuids> guids;
};

DatabaseSource OpenDatabaseSource(const AppConfig& config) {
    DatabaseSource source;
    const std::string location = config.DatabaseLocation();
    if (location.empty()) {
        return source;
    }
    source.lookup = std::make_unique<SqlPlayerLookup>(location);
    try {
        source.lookup->Open();
    } catch (const DatabaseError& error) {
        PrintError(std::string("the player database gives no GUIDs: ") + error.what());
        source.lookup.reset();
        return source;
    }
    source.guids = std::make_unique<DatabaseGuids>(*source.lookup);
    return source;
}

// A server's log as a GUID source, when its block names one that reads: the
// connection at each slot at the log's end.
struct LogSource {
    std::unique_ptr<LogModel> model;
    std::unique_ptr<SlotGuids> guids;
};

LogSource OpenLogSource(const AppConfig& config, const ServerEntry& server) {
    LogSource source;
    const std::string path = config.LogLocation(server);
    if (path.empty()) {
        return source;
    }
    source.model = std::make_unique<LogModel>();
    if (!LoadClassifiedLogForCommand(*source.model, path)) {
        source.model.reset(); // said; the other sources still serve
        return source;
    }
    source.guids = std::make_unique<SlotGuids>(source.model->playerSlots());
    return source;
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
    DatabaseSource database = OpenDatabaseSource(*config);
    std::vector<LogSource> logs;
    RconClient client;
    std::vector<std::unique_ptr<StatusQuery>> queries;
    QEventLoop loop;
    std::size_t finished = 0;
    for (const ServerEntry& server : *servers) {
        // The server's own log first, then the database.
        std::vector<GuidSource*> sources;
        if (LogSource& log = logs.emplace_back(OpenLogSource(*config, server)); log.guids) {
            sources.push_back(log.guids.get());
        }
        if (database.guids) {
            sources.push_back(database.guids.get());
        }
        auto& query = queries.emplace_back(std::make_unique<StatusQuery>(client, server, sources));
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
    if (database.guids && !database.guids->failure().empty()) {
        PrintError("the player database failed: " + database.guids->failure());
    }
    return everyOk ? 0 : 1;
}
