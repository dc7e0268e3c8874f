// quarvelctl follow LOG [--idle-exit SECONDS] [--config FILE] [--harvest]
// [--no-lines] [--report SECONDS] [--rotate-grace SECONDS]: every line of the
// log as `lines` prints it, then every line appended later as soon as its LF
// is written; a reset and the whole file again when the log is truncated or
// replaced. With --harvest the lines also go into the configured player
// database, as the window's "Keep database updated" does, and the follower
// keeps its place there, so that a follower started again goes on where the
// last one stopped; and the ban states are enforced on the log's server (the
// one --server names, else the one whose log= names the log): a banned
// player whose ClientConnect line is read live is kicked there at once.
#include "Arguments.h"
#include "BanEnforcer.h"
#include "CQuarvelDoc.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "FollowReport.h"
#include "FollowerPlaces.h"
#include "LineJson.h"
#include "ServerRequests.h"
#include "StopSignals.h"
#include "TextEscapes.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
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

int Milliseconds(long long seconds) {
    return static_cast<int>(std::min<long long>(seconds * 1000, std::numeric_limits<int>::max()));
}

// A number of seconds an option gives: `fallback` when it is not given (which
// may be negative, as --idle-exit's "never" is), nothing (with the message
// printed) when the value given is no number or negative.
std::optional<long long> Seconds(const Arguments& args, const char* name, long long fallback) {
    std::string error;
    const auto value = args.Integer(name, fallback, error);
    if (!value || (args.Value(name) && *value < 0)) {
        PrintError(error.empty() ? std::string("--") + name + " must not be negative" : error);
        return std::nullopt;
    }
    return value;
}

constexpr char kFollowUsage[] =
    "usage: quarvelctl follow LOG [--idle-exit SECONDS] [--config FILE] "
    "[--harvest [--no-lines] [--report SECONDS] [--rotate-grace SECONDS] [--server NAME]]";

} // namespace

int RunFollow(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "follow", error);
    if (!args || args->positional().size() != 1) {
        PrintError(args ? kFollowUsage : error);
        return 2;
    }
    const auto idleExit = Seconds(*args, "idle-exit", -1);
    const auto reportEvery = Seconds(*args, "report", 60);
    const auto rotateGrace = Seconds(*args, "rotate-grace", 5);
    if (!idleExit || !reportEvery || !rotateGrace) {
        return 2;
    }
    const bool harvest = args->Flag("harvest");
    const bool printLines = !args->Flag("no-lines");
    if (!harvest && (!printLines || args->Value("report") || args->Value("rotate-grace") ||
                     args->Value("server"))) {
        PrintError("--no-lines, --report, --rotate-grace and --server go with --harvest");
        return 2;
    }
    std::optional<AppConfig> config;
    std::optional<std::string> location;
    if (harvest) {
        config = LoadConfigForCommand(*args);
        location = config ? DatabaseLocationForCommand(*config) : std::nullopt;
        if (!location) {
            return 1;
        }
    }
    // The server whose bans this follower enforces: one only, so that two
    // followers of two servers' logs never kick on each other's server.
    std::optional<ServerEntry> server;
    if (args->Value("server")) {
        const auto named = ChooseServers(*config, *args, true);
        if (!named) {
            return 2;
        }
        server = named->front();
    }

    // Caught from before the first line is printed: a reader that has seen
    // output may stop the command at once.
    StopSignals stop;
    const std::string& path = args->positional().front();
    const QString absolutePath = QFileInfo(QFile::decodeName(path.c_str())).absoluteFilePath();
    const FollowerKey key{QSysInfo::machineHostName().toStdString(),
                          QFile::encodeName(absolutePath).toStdString()};
    // Printing nothing, a follower going on from its place need not read
    // the lines before it at all.
    const std::int64_t firstByte =
        harvest && !printLines ? StoredOffsetInFile(*location, key, key.logPath) : 0;
    CQuarvelDoc document;
    document.SetRotationGrace(std::chrono::seconds(*rotateGrace));
    if (!document.Open(absolutePath, firstByte) ||
        document.model().loadStatus() == LoadStatus::ViewFailed) {
        PrintError("cannot read " + path);
        return 2;
    }
    LogModel& model = document.model();
    if (harvest && !server) {
        server = ServerOfLog(*config, absolutePath);
    }
    // Connected before anything else that reads appended lines, so that the
    // kick leaves first. The lines loaded so far are history; a file that
    // takes the log's place later was written while it runs.
    std::optional<BanEnforcer> enforcer;
    if (server) {
        enforcer.emplace(*server, *location);
        QObject::connect(&document, &CQuarvelDoc::linesAppended, &*enforcer, [&](int first) {
            // A log loaded in slices announces its history as it goes.
            if (!document.loading()) {
                enforcer->LinesRead(model, first);
            }
        });
        QObject::connect(&document, &CQuarvelDoc::reloaded, &*enforcer,
                         [&] { enforcer->FileReplaced(model); });
        const auto say = [](const QString& text) {
            std::fprintf(stderr, "%s\n", TerminalText(text.toStdString()).c_str());
            std::fflush(stderr);
        };
        QObject::connect(&*enforcer, &BanEnforcer::enforced, say);
        QObject::connect(&*enforcer, &BanEnforcer::problem, say);
    }
    if (printLines) {
        model.ClassifyUpTo(model.lineCount());
        PrintLines(model, 0);
    }

    int exitCode = 0;
    QTimer idle;
    idle.setSingleShot(true);
    if (*idleExit >= 0) {
        idle.setInterval(Milliseconds(*idleExit));
        QObject::connect(&idle, &QTimer::timeout, [&] {
            // The word of the file's watcher may still wait behind a batch
            // that kept the loop busy past the idle time: look at the file
            // first (a change starts the idle time again).
            document.CheckFile();
            if (idle.isActive()) {
                return;
            }
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
        if (printLines) {
            PrintLines(model, first);
        }
        changed();
    });
    QObject::connect(&document, &CQuarvelDoc::reloaded, [&](FileChange why) {
        if (printLines) {
            PrintReset(why);
            PrintLines(model, 0);
        }
        changed();
    });
    QObject::connect(&document, &CQuarvelDoc::fileStatusChanged, changed);

    std::optional<FollowReport> report;
    if (location) {
        report.emplace(document, std::chrono::seconds(*reportEvery),
                       std::chrono::seconds(*rotateGrace));
        QObject::connect(&document, &CQuarvelDoc::liveHarvestFailed, [&](const Message& message) {
            std::fprintf(stderr, "%s\n", TerminalText(message.text).c_str());
            exitCode = 1;
            QCoreApplication::exit(exitCode);
        });
        document.StartLiveHarvest(*location, key);
    }

    QObject::connect(&stop, &StopSignals::stopRequested, [&] { QCoreApplication::exit(exitCode); });
    const int code = QCoreApplication::exec();
    // Kicks already sent are answered (or time out) and kept before the end.
    if (enforcer && enforcer->pending() > 0) {
        QEventLoop settling;
        QObject::connect(&*enforcer, &BanEnforcer::settled, &settling, &QEventLoop::quit);
        settling.exec();
    }
    if (report && code == 0) {
        report->Final();
    }
    std::fflush(stdout);
    return code;
}
