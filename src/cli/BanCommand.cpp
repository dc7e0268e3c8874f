// quarvelctl ban and unban: the GUI's ban and unban flows, with the reason
// given once for every server instead of asked per server. With a player
// database configured, every server's outcome is kept in its ban records,
// and then the ban state is set or lifted, whatever the servers answered:
// the state is the team's answer to "is this player banned?", which
// enforcement on connect and a later sync take to the servers that missed
// the command (one that was down, one added later).
#include "AppConfig.h"
#include "Arguments.h"
#include "BanFlow.h"
#include "BanStateChange.h"
#include "CommandRecords.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "RconClient.h"
#include "ServerNamedMessages.h"
#include "Windows1252.h"

#include <QEventLoop>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Keeps the messages; they are printed with the results, one line a server.
class KeptMessages : public MessageSink {
public:
    void Show(const Message& message) override { messages.push_back(message); }
    std::vector<Message> messages;
};

// Prints "<server name>: <message text>" for every server, or the warning
// when there was none; then, on stderr, what became of records that were not
// stored. 0 when every server carried the command out and every record was
// stored.
int Report(const std::vector<ServerResult>& results, const KeptMessages& kept,
           BanRecordStore* records) {
    std::string out;
    if (results.empty()) {
        for (const Message& message : kept.messages) {
            out += OneLine(message.text) + "\n";
        }
    }
    for (const ServerResult& result : results) {
        out +=
            ServerResultText(Windows1252ToUtf8(result.server), OneLine(result.message.text)) + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    if (!CloseRecords(records)) {
        return 1;
    }
    return EveryServerDone(results) ? 0 : 1;
}

// Runs a ban or unban to its end in this thread's event loop.
std::vector<ServerResult> RunToEnd(BanAction action, const AppConfig& config, BanTarget target,
                                   BanReasonSource* reasons, MessageSink& messages,
                                   ServerOutcomeRecorder* records) {
    RconClient client;
    BanRun run(action, client, config.servers, std::move(target), reasons, messages, records);
    QEventLoop loop;
    QObject::connect(&run, &BanRun::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    run.Start();
    loop.exec();
    return run.results();
}

// The value of a required option as log bytes; the command line is UTF-8.
std::optional<std::string> Required(const Arguments& args, const char* name) {
    const auto value = args.Value(name);
    if (!value) {
        return std::nullopt;
    }
    return Utf8ToWindows1252(*value);
}

} // namespace

int RunBan(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "ban", error);
    const char* usage = "usage: quarvelctl ban [--config FILE] --guid G --name N --ip I --reason R";
    if (!args || !args->positional().empty()) {
        PrintError(args ? usage : error);
        return 2;
    }
    const auto guid = Required(*args, "guid");
    const auto name = Required(*args, "name");
    const auto ip = Required(*args, "ip");
    const auto reason = Required(*args, "reason");
    if (!guid || !name || !ip || !reason) {
        PrintError(usage);
        return 2;
    }
    const auto config = LoadConfigForCommand(*args);
    if (!config) {
        return 1;
    }
    KeptMessages kept;
    FixedBanReason reasons(*reason);
    const auto records = RecordsFor(*config);
    const auto results = RunToEnd(BanAction::Ban, *config, BanTarget{*guid, *ip, *name}, &reasons,
                                  kept, records.get());
    const int servers = Report(results, kept, records.get());
    if (!records) {
        return servers;
    }
    // The texts as the servers' records keep them.
    const BanRequest request{Windows1252ToUtf8(*guid), Windows1252ToUtf8(*reason),
                             Windows1252ToUtf8(*name), Windows1252ToUtf8(*ip)};
    const int state = ChangeBanState(config->DatabaseLocation(),
                                     [&](BanStates& states) { return states.Ban(request); });
    return std::max(servers, state);
}

int RunUnban(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "unban", error);
    const char* usage = "usage: quarvelctl unban [--config FILE] --guid G [--reason R]";
    const auto guid = args ? Required(*args, "guid") : std::nullopt;
    if (!args || !args->positional().empty() || !guid) {
        PrintError(args ? usage : error);
        return 2;
    }
    const auto config = LoadConfigForCommand(*args);
    if (!config) {
        return 1;
    }
    KeptMessages kept;
    const auto records = RecordsFor(*config);
    const auto results =
        RunToEnd(BanAction::Unban, *config, BanTarget{*guid, {}, {}}, nullptr, kept, records.get());
    const int servers = Report(results, kept, records.get());
    if (!records) {
        return servers;
    }
    const std::string why = args->Value("reason").value_or("");
    const int state = ChangeBanState(config->DatabaseLocation(), [&](BanStates& states) {
        return states.Lift(Windows1252ToUtf8(*guid), why);
    });
    return std::max(servers, state);
}
