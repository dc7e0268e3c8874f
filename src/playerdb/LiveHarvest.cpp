#include "LiveHarvest.h"

#include "AliasesLookup.h"
#include "LogModel.h"

#include <algorithm>
#include <new>

LiveHarvest::LiveHarvest(const LogModel& log, std::unique_ptr<PlayerDatabase> database)
    : log_(log), harvester_(log.eventPatterns()) {
    harvester_.SetDatabase(std::move(database));
}

LiveHarvest::~LiveHarvest() {
    try {
        harvester_.End();
    } catch (...) {
        // Every finished batch is committed already; nothing is lost here.
    }
}

bool LiveHarvest::upToDate() const {
    return failed_ || harvested_ >= log_.lineCount();
}

std::optional<Message> LiveHarvest::Fail(std::string text) {
    failed_ = true;
    // Stores what the failed batch did before the failure, then closes.
    try {
        harvester_.End();
    } catch (const DatabaseError&) {
    } catch (const std::bad_alloc&) {
    }
    return Message{std::move(text), kApplicationTitle, MessageIcon::None};
}

std::optional<Message> LiveHarvest::HarvestMore(int maxLines) {
    if (failed_) {
        return std::nullopt;
    }
    try {
        if (!harvester_.running()) {
            harvester_.Begin();
        }
        const int end = static_cast<int>(
            std::min<long long>(log_.lineCount(), static_cast<long long>(harvested_) + maxLines));
        if (end <= harvested_) {
            return std::nullopt;
        }
        harvester_.SetEventTextOffset(log_.eventTextOffset());
        harvester_.BeginStep();
        for (int i = harvested_; i < end; ++i) {
            harvested_ = i + 1; // a line that fails is not taken again
            harvester_.HarvestLine(log_.LineText(i));
        }
        harvester_.CommitStep();
    } catch (const DatabaseError& error) {
        return Fail(error.what());
    } catch (const std::bad_alloc&) {
        return Fail(kOtherErrorText);
    }
    return std::nullopt;
}

std::optional<Message> LiveHarvest::Restart() {
    harvested_ = 0;
    if (failed_) {
        return std::nullopt;
    }
    try {
        // A new run: its slots start empty and the counts are read again.
        harvester_.End();
    } catch (const DatabaseError& error) {
        return Fail(error.what());
    } catch (const std::bad_alloc&) {
        return Fail(kOtherErrorText);
    }
    return std::nullopt;
}
