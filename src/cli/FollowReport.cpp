#include "FollowReport.h"

#include "CQuarvelDoc.h"
#include "Commands.h"

#include <cstdio>

FollowReport::FollowReport(CQuarvelDoc& document, std::chrono::seconds every,
                           std::chrono::seconds rotateGrace)
    : document_(document), every_(every) {
    timer_.setInterval(std::chrono::duration_cast<std::chrono::milliseconds>(every));
    QObject::connect(&timer_, &QTimer::timeout, &document, [this] {
        if (printed_ != document_.liveHarvestCounters()) {
            PrintCounters();
        }
    });
    QObject::connect(&document, &CQuarvelDoc::liveHarvestBatchStored, &document,
                     [this] { BatchStored(); });
    QObject::connect(&document, &CQuarvelDoc::liveHarvestInterrupted, &document,
                     [this](const QString& why, bool busy) {
                         Say(std::string(busy ? "the player database keeps giving the batch up "
                                                "for other writers' sake"
                                              : "the player database cannot be reached") +
                             "; the harvest keeps its place and tries again: " + why.toStdString());
                     });
    QObject::connect(&document, &CQuarvelDoc::liveHarvestResumed, &document,
                     [this] { Say("the player database is back"); });
    QObject::connect(&document, &CQuarvelDoc::liveHarvestNotice, &document,
                     [](const QString& text) { PrintError(text.toStdString()); });
    QObject::connect(&document, &CQuarvelDoc::reloaded, &document,
                     [this, rotateGrace](FileChange why) {
                         Say(why == FileChange::Truncated
                                 ? "log truncated: harvested again from its first line"
                                 : "log replaced: the new file is harvested from its first line, "
                                   "the old one until it has been quiet for " +
                                       std::to_string(rotateGrace.count()) + " s");
                     });
    QObject::connect(&document, &CQuarvelDoc::rotatedLogDone, &document, [this](int lines) {
        Say("the rotated log is let go, " + std::to_string(lines) +
            " lines harvested from it after the rotation");
    });
}

void FollowReport::Say(const std::string& text) {
    PrintError(text);
    PrintCounters();
}

void FollowReport::PrintCounters() {
    const HarvestCounters c = document_.liveHarvestCounters();
    std::fprintf(stderr, "GUIDs new %ld total %ld; Players new %ld total %ld\n", long{c.guidsNew},
                 long{c.guidsTotal}, long{c.playersNew}, long{c.playersTotal});
    std::fflush(stderr);
    printed_ = c;
}

void FollowReport::BatchStored() {
    if (!caughtUp_ && document_.liveHarvestUpToDate()) {
        caughtUp_ = true;
        const std::int64_t resumedAt = document_.liveHarvestResumedAt();
        if (resumedAt > 0) {
            PrintError("went on from byte " + std::to_string(resumedAt) + " of the log");
        }
        PrintCounters();
        if (every_.count() > 0) {
            timer_.start();
        }
        return;
    }
    if (every_.count() == 0) {
        PrintCounters();
    }
}

void FollowReport::Final() {
    if (printed_ != document_.liveHarvestCounters()) {
        PrintCounters();
    }
}
