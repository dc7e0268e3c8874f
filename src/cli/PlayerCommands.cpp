// quarvelctl kick and say: the server's own commands for them, as its
// configuration's templates say (kick=, say=), and the server's answer. With
// a player database configured, each is kept in its ban records, as a ban is.
#include "AppConfig.h"
#include "Arguments.h"
#include "CommandRecords.h"
#include "Commands.h"
#include "PlayerAction.h"
#include "ServerCommands.h"
#include "ServerGuidLookup.h"
#include "ServerRequests.h"
#include "StatusQuery.h"
#include "Windows1252.h"

#include <QEventLoop>

namespace {

// Who is in the slot, for the record: his name and address as the server's
// status shows them, his GUID as status finds it (the status, the server's
// log, the player database), else from that slot's userinfo alone. Nobody
// when the server does not say.
BanTarget PlayerInSlot(const AppConfig& config, const ServerEntry& server, int slot) {
    ServerGuidLookup guids(config);
    QObject::connect(&guids, &ServerGuidLookup::problem,
                     [](const QString& text) { PrintError(text.toStdString()); });
    RconClient client;
    StatusQuery query(client, server, {});
    query.SetDeferredSource(&guids);
    query.SetUserinfoSlot(slot);
    QEventLoop loop;
    QObject::connect(&query, &StatusQuery::finished, &loop, &QEventLoop::quit);
    query.Start();
    loop.exec();
    for (const LivePlayer& player : query.snapshot().players) {
        if (player.status.slot == slot) {
            return {player.guid.guid, std::string(AddressIp(player.status.address)),
                    player.status.name};
        }
    }
    return {};
}

// Sends the command its template makes, prints the answer and keeps the
// outcome in the records, when there are some; the exit status as rcon gives
// it, or 1 when the answer came but its record was not stored.
int SendAction(const ServerEntry& server, ServerCommand command, const CommandValues& values,
               const BanTarget& player, BanRecordStore* records) {
    const PlayerAction action = PlayerActionOf(command, values).value_or(PlayerAction{});
    const ExpandedCommand expanded = ExpandServerCommand(server.commands.Template(command), values);
    int exitCode = 2;
    if (!expanded.ok()) {
        action.Record(records, player, ActionNotSent(server.name, expanded.error));
        PrintError(Windows1252ToUtf8(server.name) + ": " + expanded.error);
    } else {
        const RconReply reply = SendAndWait(server, expanded.command);
        action.Record(records, player, ActionResult(reply, server.name));
        PrintAnswer(reply);
        exitCode = ExitCodeOfReply(reply, server.name);
    }
    const bool kept = CloseRecords(records);
    return !kept && exitCode == 0 ? 1 : exitCode;
}

} // namespace

int RunKick(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "kick", error);
    const char* usage = "usage: quarvelctl kick [--config FILE] --server NAME --slot N "
                        "[--reason TEXT]";
    if (!args || !args->positional().empty() || !args->Value("slot")) {
        PrintError(args ? usage : error);
        return 2;
    }
    const auto slot = args->Integer("slot", 0, error);
    if (!slot || *slot < 0 || *slot > 1023) {
        PrintError(slot ? "--slot must be a slot number from 0" : error);
        return 2;
    }
    int exitCode = 0;
    AppConfig config;
    const auto server = LoadServerForCommand(*args, exitCode, &config);
    if (!server) {
        return exitCode;
    }
    const std::string reason = Utf8ToWindows1252(args->Value("reason").value_or(""));
    CommandValues values;
    values.slot = static_cast<int>(*slot);
    values.reason = reason;
    const auto records = RecordsFor(config);
    // Asked only for the record: who the slot held before the kick.
    const BanTarget player =
        records ? PlayerInSlot(config, *server, static_cast<int>(*slot)) : BanTarget{};
    return SendAction(*server, ServerCommand::Kick, values, player, records.get());
}

int RunSay(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "say", error);
    if (!args || args->positional().empty()) {
        PrintError(args ? "usage: quarvelctl say [--config FILE] --server NAME -- TEXT..." : error);
        return 2;
    }
    int exitCode = 0;
    AppConfig config;
    const auto server = LoadServerForCommand(*args, exitCode, &config);
    if (!server) {
        return exitCode;
    }
    const std::string bytes = Utf8ToWindows1252(JoinedWords(args->positional()));
    CommandValues values;
    values.text = bytes;
    const auto records = RecordsFor(config);
    return SendAction(*server, ServerCommand::Say, values, BanTarget{}, records.get());
}
