#include "TempBanKicks.h"

#include "CommandRecords.h"
#include "Commands.h"
#include "KickWherePlaying.h"
#include "ServerGuidLookup.h"
#include "ServerNamedMessages.h"
#include "Windows1252.h"

#include <QEventLoop>
#include <cstdio>

int KickWhereBannedPlays(const AppConfig& config, const BanState& state, std::int64_t now) {
    if (config.servers.empty() || !state.ActiveAt(now)) {
        return 0;
    }
    const auto records = RecordsFor(config);
    ServerGuidLookup guids(config);
    QObject::connect(&guids, &ServerGuidLookup::problem,
                     [](const QString& text) { PrintError(text.toStdString()); });
    RconClient client;
    KickWherePlaying kicks(client, {config.servers.begin(), config.servers.end()}, state.guid,
                           BanKickAction(state, now), &guids, records.get());
    QEventLoop loop;
    QObject::connect(&kicks, &KickWherePlaying::finished, &loop, &QEventLoop::quit);
    kicks.Start();
    loop.exec();
    std::string out;
    for (const ServerResult& result : kicks.results()) {
        out +=
            ServerResultText(Windows1252ToUtf8(result.server), OneLine(result.message.text)) + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return CloseRecords(records.get()) ? 0 : 1;
}
