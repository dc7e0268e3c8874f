// quarvelctl follow LOG [--idle-exit SECONDS] [--config FILE] [--harvest]:
// every line of the log as `lines` prints it, then every line appended later
// as soon as its LF is written; a reset and the whole file again when the
// log is truncated or replaced. With --harvest the lines also go into the
// configured player database, as the window's "Keep database updated" does.
#include "Arguments.h"
#include "CQuarvelDoc.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "LineJson.h"
#include "StopSignals.h"
#include "TextEscapes.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <limits>

namespace {

// Prints lines [first, the end) and flushes them at once: a reader on the
// other end of a pipe sees each batch as it comes.
void PrintLines(const LogModel& model, int first) {
    WriteLinesJson(stdout, model, first, model.lineCount());
    std::fflush(stdout);
}

void PrintReset(FileChange why) {
    std::printf("{\"reset\": \"%s\"}\n", why == FileChange::Truncated ? "truncated" : "replaced");
}

void PrintCounters(const HarvestCounters& c) {
    std::fprintf(stderr, "GUIDs new %ld total %ld; Players new %ld total %ld\n", long{c.guidsNew},
                 long{c.guidsTotal}, long{c.playersNew}, long{c.playersTotal});
    std::fflush(stderr);
}

} // namespace

int RunFollow(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "follow", error);
    if (!args || args->positional().size() != 1) {
        PrintError(args ? "usage: quarvelctl follow LOG [--idle-exit SECONDS] [--config FILE] "
                          "[--harvest]"
                        : error);
        return 2;
    }
    const auto idleExit = args->Integer("idle-exit", -1, error);
    if (!idleExit || (args->Value("idle-exit") && *idleExit < 0)) {
        PrintError(error.empty() ? "--idle-exit must not be negative" : error);
        return 2;
    }
    std::optional<std::string> location;
    if (args->Flag("harvest")) {
        location = LoadDatabaseLocationForCommand(*args);
        if (!location) {
            return 1;
        }
    }

    // Caught from before the first line is printed: a reader that has seen
    // output may stop the command at once.
    StopSignals stop;
    const std::string& path = args->positional().front();
    CQuarvelDoc document;
    if (!document.Open(QFile::decodeName(path.c_str())) ||
        document.model().loadStatus() == LoadStatus::ViewFailed) {
        PrintError("cannot read " + path);
        return 2;
    }
    LogModel& model = document.model();
    model.ClassifyUpTo(model.lineCount());
    PrintLines(model, 0);

    int exitCode = 0;
    QTimer idle;
    idle.setSingleShot(true);
    if (*idleExit >= 0) {
        idle.setInterval(static_cast<int>(
            std::min<long long>(*idleExit * 1000, std::numeric_limits<int>::max())));
        QObject::connect(&idle, &QTimer::timeout, [&] {
            // A harvest still catching up finishes first.
            if (document.liveHarvestOn() && !document.liveHarvestUpToDate()) {
                idle.start();
                return;
            }
            QCoreApplication::exit(exitCode);
        });
        idle.start();
    }
    const auto changed = [&] {
        if (*idleExit >= 0) {
            idle.start();
        }
    };
    QObject::connect(&document, &CQuarvelDoc::linesAppended, [&](int first) {
        PrintLines(model, first);
        changed();
    });
    QObject::connect(&document, &CQuarvelDoc::reloaded, [&](FileChange why) {
        PrintReset(why);
        PrintLines(model, 0);
        changed();
    });
    QObject::connect(&document, &CQuarvelDoc::fileStatusChanged, changed);

    if (location) {
        QObject::connect(&document, &CQuarvelDoc::liveHarvestBatchStored,
                         [&] { PrintCounters(document.liveHarvestCounters()); });
        QObject::connect(&document, &CQuarvelDoc::liveHarvestFailed, [&](const Message& message) {
            std::fprintf(stderr, "%s\n", TerminalText(message.text).c_str());
            exitCode = 1;
            QCoreApplication::exit(exitCode);
        });
        document.StartLiveHarvest(*location);
    }

    QObject::connect(&stop, &StopSignals::stopRequested, [&] { QCoreApplication::exit(exitCode); });
    const int code = QCoreApplication::exec();
    std::fflush(stdout);
    return code;
}
