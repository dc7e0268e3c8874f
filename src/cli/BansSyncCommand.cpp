// quarvelctl bans sync: every active permanent ban taken to the servers whose
// latest recorded outcome for it is not a success, one line a server.
#include "Arguments.h"
#include "BanSync.h"
#include "CommandRecords.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "TextEscapes.h"

#include <QEventLoop>
#include <cstdio>

int RunBansSync(const Arguments& args) {
    const auto config = LoadConfigForCommand(args);
    if (!config) {
        return 1;
    }
    BanSync sync(config->servers, config->DatabaseLocation());
    QEventLoop loop;
    QObject::connect(&sync, &BanSync::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    sync.Start();
    loop.exec();
    if (!sync.error().empty()) {
        PrintError(sync.error());
        return 1;
    }
    std::string out;
    for (const BanSyncServerReport& report : sync.reports()) {
        AppendEscaped(out, BanSyncReportLine(report), Escapes::Line);
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    bool recorded = true;
    if (const auto failure = sync.RecordsFailure()) {
        PrintError(OneLine(failure->text));
        recorded = false;
    }
    return sync.EveryServerHoldsEveryBan() && recorded ? 0 : 1;
}
