#include "LiveHarvest.h"

#include "AliasesLookup.h"
#include "LogModel.h"

#include <algorithm>
#include <new>

LiveHarvest::LiveHarvest(const LogModel& log, std::unique_ptr<PlayerDatabase> database)
    : LiveHarvest(log.store(), log.eventPatterns(), std::move(database)) {}

LiveHarvest::LiveHarvest(const LogStore& lines, const EventPatterns& patterns,
                         std::unique_ptr<PlayerDatabase> database)
    : lines_(&lines), harvester_(patterns) {
    harvester_.SetDatabase(std::move(database));
}

LiveHarvest::~LiveHarvest() {
    try {
        harvester_.End();
    } catch (...) {
        // Every finished batch is committed already; nothing is lost here.
    }
}

void LiveHarvest::KeepPlace(FollowerKey key) {
    key_ = std::move(key);
}

bool LiveHarvest::upToDate() const {
    return failed_ || (begun_ && !interrupted_ && harvested_ >= lines_->lineCount());
}

std::optional<Message> LiveHarvest::Fail(std::string text) {
    failed_ = true;
    interrupted_ = false;
    // Stores what the failed batch did before the failure, then closes.
    try {
        harvester_.End();
    } catch (const DatabaseError&) {
    } catch (const std::bad_alloc&) {
    }
    return Message{std::move(text), kApplicationTitle, MessageIcon::None};
}

void LiveHarvest::Interrupt(const DatabaseError& error) {
    harvester_.Abandon();
    interrupted_ = true;
    interruption_ = error.what();
    interruptionFault_ = error.fault();
}

void LiveHarvest::Connect() {
    if (begun_) {
        harvester_.Reopen();
        return;
    }
    harvester_.Begin();
    if (key_ && !placeConsulted_) {
        if (const auto place = harvester_.database()->LoadPlace(*key_)) {
            // A replaced or truncated file is no longer the file the place
            // is in: it is harvested from its beginning.
            if (PlaceFits(*place, lines_->identity(), lines_->fileSize(),
                          [this](std::size_t length) { return lines_->HeadHashOf(length); })) {
                harvester_.RestoreSlots(place->harvestSlots);
                resumeOffset_ = place->offset;
                resumedAt_ = place->offset;
            }
        }
    }
    placeConsulted_ = true;
    begun_ = true;
}

void LiveHarvest::SkipToResumePlace() {
    if (resumeOffset_ <= 0) {
        return;
    }
    // The lines start in order: the first that starts at or past the place.
    int low = harvested_;
    int high = lines_->lineCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (lines_->lines().Offset(middle) < resumeOffset_) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    harvested_ = low;
    if (low < lines_->lineCount()) {
        resumeOffset_ = 0; // the lines have reached the place
    }
}

std::optional<Message> LiveHarvest::HarvestMore(int maxLines) {
    if (failed_) {
        return std::nullopt;
    }
    try {
        if (!harvester_.running()) {
            Connect();
        }
        interrupted_ = false;
        SkipToResumePlace();
        const int end = static_cast<int>(std::min<long long>(
            lines_->lineCount(), static_cast<long long>(harvested_) + maxLines));
        if (end <= harvested_) {
            return std::nullopt;
        }
        if (key_ && lines_->identity()) {
            FollowerPlace place{*key_,
                                *lines_->identity(),
                                lines_->headLength(),
                                lines_->headHash(),
                                lines_->LineEndOffset(end - 1),
                                {}};
            harvester_.HarvestLines(*lines_, harvested_, end, &place);
        } else {
            harvester_.HarvestLines(*lines_, harvested_, end);
        }
        harvested_ = end;
    } catch (const DatabaseError& error) {
        if (error.fault() == DatabaseError::Fault::Unreachable ||
            error.fault() == DatabaseError::Fault::Conflict) {
            Interrupt(error);
            return std::nullopt;
        }
        return Fail(error.what());
    } catch (const std::bad_alloc&) {
        return Fail(kOtherErrorText);
    }
    return std::nullopt;
}

std::optional<Message> LiveHarvest::Restart() {
    harvested_ = 0;
    resumeOffset_ = 0;
    begun_ = false; // a new run: its slots start empty and the counts are read again
    placeConsulted_ = true;
    if (failed_ || interrupted_) {
        return std::nullopt;
    }
    try {
        harvester_.End();
    } catch (const DatabaseError& error) {
        if (error.fault() == DatabaseError::Fault::Unreachable) {
            Interrupt(error);
            return std::nullopt;
        }
        return Fail(error.what());
    } catch (const std::bad_alloc&) {
        return Fail(kOtherErrorText);
    }
    return std::nullopt;
}
