#include "Harvester.h"

#include "ConnectLine.h"
#include "LogStore.h"
#include "VisibleText.h"

#include <limits>
#include <optional>
#include <span>
#include <string>

namespace {

constexpr std::size_t kAddressPartLimit = 3;

// The counters are 32-bit like the tables' row counts; they stop at the
// largest value rather than wrap.
void CountOne(std::int32_t& counter) {
    if (counter < std::numeric_limits<std::int32_t>::max()) {
        ++counter;
    }
}

// The slot a harvested line names, or nothing when the number is past the
// 64 slots the server has.
std::optional<std::size_t> SlotNumber(std::string_view digits) {
    const long long slot = ReadDecimal(digits);
    if (slot < 0 || slot >= kPlayerSlotCount) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(slot);
}

} // namespace

void SplitAddress(std::string_view address, std::span<std::string, 4> parts) {
    for (std::string& part : parts) {
        part.clear();
    }
    std::size_t part = 0;
    for (const char c : address) {
        if (c == '.') {
            if (++part == parts.size()) {
                break;
            }
        } else if (parts[part].size() < kAddressPartLimit) {
            parts[part].push_back(c);
        }
    }
}

void Harvester::Begin() {
    if (!database_) {
        throw DatabaseError("No player database is configured.");
    }
    // A harvest stores names only under connections it has seen itself: a
    // slot left over from an earlier run would file a name under the GUID of
    // whoever held the slot at the end of that run.
    slots_ = {};
    memo_.Clear();
    database_->Open();
    running_ = true;
    counters_.guidsTotal = database_->CountGuids();
    counters_.guidsNew = 0;
    counters_.playersTotal = database_->CountPlayers();
    counters_.playersNew = 0;
}

void Harvester::Reopen() {
    if (!database_) {
        throw DatabaseError("No player database is configured.");
    }
    database_->Open();
    running_ = true;
}

void Harvester::End() {
    if (!running_) {
        return;
    }
    // Cleared first: a failing close still ends the harvest.
    running_ = false;
    database_->Close(); // commits a step a failure left open
}

void Harvester::Abandon() {
    if (!running_) {
        return;
    }
    running_ = false;
    database_->RollbackStep();
    try {
        database_->Close();
    } catch (const DatabaseError&) {
        // Nothing was open to commit; the connection is gone either way.
    }
}

void Harvester::HarvestLines(const LogStore& lines, int from, int to, FollowerPlace* place) {
    eventTextOffset_ = lines.eventTextOffset();
    for (int attempt = 1;; ++attempt) {
        const StepStart start{slots_, counters_};
        memo_.BeginStep();
        try {
            HarvestStep(lines, from, to, place);
            memo_.CommitStep();
            return;
        } catch (const DatabaseError& error) {
            const DatabaseError::Fault fault = error.fault();
            if (fault != DatabaseError::Fault::Conflict &&
                fault != DatabaseError::Fault::Unreachable) {
                throw; // the step stays open with what went before the failure
            }
            GiveUpStep(start);
            if (fault == DatabaseError::Fault::Unreachable || attempt == kStepAttempts) {
                throw;
            }
        }
        backoff_.Wait(attempt);
    }
}

void Harvester::HarvestStep(const LogStore& lines, int from, int to, FollowerPlace* place) {
    // One transaction a call: a database that syncs every statement to disk
    // would take minutes over a large log.
    database_->BeginStep();
    for (int i = from; i < to; ++i) {
        HarvestLine(lines.LineText(i));
    }
    if (place != nullptr) {
        place->harvestSlots = slots_;
        database_->StorePlace(*place);
    }
    database_->CommitStep();
}

void Harvester::GiveUpStep(const StepStart& start) {
    database_->RollbackStep();
    memo_.RollbackStep();
    slots_ = start.filled;
    counters_ = start.counters;
}

void Harvester::HarvestLine(std::string_view line) {
    const auto event = CutEventText(line, text_, eventTextOffset_);
    if (!event) {
        return;
    }
    // A keyword agrees with a word it is the beginning of, so a shortened
    // or empty keyword is taken for a connection line.
    if (KeywordAgrees(event->keyword, kConnectKeyword)) {
        HarvestConnect(event->payload);
    } else if (KeywordAgrees(event->keyword, kUserinfoKeyword)) {
        HarvestUserinfo(event->payload);
    }
}

void Harvester::HarvestConnect(std::string_view payload) {
    const auto connect = ReadConnection(payload);
    if (!connect) {
        return;
    }
    const std::string_view guid = connect->guid;
    std::optional<std::int32_t> key = memo_.GuidKey(guid);
    if (!key) {
        key = database_->FindGuid(guid);
        if (!key) {
            key = database_->InsertGuid(guid);
            if (key) {
                CountOne(counters_.guidsNew);
                CountOne(counters_.guidsTotal);
            } else {
                // Another harvest added it since the look-up.
                key = database_->FindGuid(guid);
                if (!key) {
                    throw DatabaseError("The database neither added the GUID " + std::string(guid) +
                                        " nor holds it.");
                }
            }
        }
        memo_.RememberGuid(guid, *key);
    }
    HarvestSlot& harvestSlot = slots_[static_cast<std::size_t>(connect->slot)];
    harvestSlot.guidKey = *key;
    // Cut to 15 bytes like the address the slot tables keep: the player is
    // still recorded under the GUID, which is what the aliases look up.
    harvestSlot.address.Assign(connect->address);
    harvestSlot.connected = true;
}

void Harvester::HarvestUserinfo(std::string_view payload) {
    if (!patterns_.MatchUserInfo(payload, groups_)) {
        return;
    }
    const auto slot = SlotNumber(groups_[1]);
    if (!slot) {
        return;
    }
    const HarvestSlot& harvestSlot = slots_[*slot];
    if (!harvestSlot.connected) {
        return; // no GUID to store the name under
    }
    const std::string_view name = groups_[2];
    CopyVisibleText(name, sighting_.nameFormatted);
    const std::string_view address = harvestSlot.address.view();
    if (memo_.KnowsSighting(harvestSlot.guidKey, address, sighting_.nameFormatted)) {
        return;
    }
    if (database_->SightingExists(harvestSlot.guidKey, address, sighting_.nameFormatted)) {
        memo_.RememberSighting(harvestSlot.guidKey, address, sighting_.nameFormatted);
        return;
    }
    sighting_.guidKey = harvestSlot.guidKey;
    SplitAddress(address, sighting_.ipParts);
    sighting_.ipFull.assign(address);
    sighting_.nameRaw.assign(name);
    // False when another harvest stored the same sighting since the test.
    if (database_->InsertSighting(sighting_)) {
        CountOne(counters_.playersNew);
        CountOne(counters_.playersTotal);
    }
    memo_.RememberSighting(harvestSlot.guidKey, address, sighting_.nameFormatted);
}
