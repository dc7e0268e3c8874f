// The database harvest: a walk in harvest mode hands every line here, and
// each ClientConnect and ClientUserinfoChanged line becomes rows of the
// player database (a GUID, and a sighting of that GUID under an address and
// a name).
#include "LogModel.h"
#include "VisibleText.h"

#include <limits>
#include <optional>
#include <span>
#include <string>

namespace {

constexpr std::string_view kConnectWord = "ClientConnect";
constexpr std::string_view kUserinfoWord = "ClientUserinfoChanged";
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
    if (slot < 0 || slot >= kHarvestSlotCount) {
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

void LogModel::SetPlayerDatabase(std::unique_ptr<PlayerDatabase> database) {
    playerDatabase_ = std::move(database);
}

void LogModel::BeginHarvest() {
    if (!playerDatabase_) {
        harvestMode_ = false;
        throw DatabaseError("No player database is configured.");
    }
    harvestMemo_.Clear();
    playerDatabase_->Open();
    guidsTotal_ = playerDatabase_->CountGuids();
    guidsNew_ = 0;
    playersTotal_ = playerDatabase_->CountPlayers();
    playersNew_ = 0;
}

void LogModel::EndHarvest() {
    if (playerDatabase_) {
        playerDatabase_->Close(); // commits a step a failure left open
    }
}

void LogModel::HarvestLine(int i) {
    const auto event = CutEventText(lines_.Line(i), harvestText_);
    if (!event) {
        return;
    }
    // A keyword agrees with a word it is the beginning of, so a shortened
    // or empty keyword is taken for a connection line.
    if (KeywordAgrees(event->keyword, kConnectWord)) {
        HarvestConnect(event->payload);
    } else if (KeywordAgrees(event->keyword, kUserinfoWord)) {
        HarvestUserinfo(event->payload);
    }
}

bool LogModel::HarvestConnect(std::string_view payload) {
    if (!patterns_.MatchConnection(payload, harvestGroups_)) {
        return false;
    }
    const auto slot = SlotNumber(GroupText(harvestGroups_, 1));
    if (!slot) {
        return true;
    }
    const std::string_view guid = GroupText(harvestGroups_, 3);
    std::optional<std::int32_t> key = harvestMemo_.GuidKey(guid);
    if (!key) {
        key = playerDatabase_->FindGuid(guid);
        if (!key) {
            key = playerDatabase_->AddGuid(guid);
            CountOne(guidsNew_);
            CountOne(guidsTotal_);
        }
        harvestMemo_.RememberGuid(guid, *key);
    }
    HarvestSlot& harvestSlot = harvestSlots_[*slot];
    harvestSlot.guidKey = *key;
    // Cut to 15 bytes like the address the slot tables keep: the player is
    // still recorded under the GUID, which is what the aliases look up.
    harvestSlot.address.Assign(GroupText(harvestGroups_, 2));
    harvestSlot.connected = true;
    return true;
}

bool LogModel::HarvestUserinfo(std::string_view payload) {
    if (!patterns_.MatchUserInfo(payload, harvestGroups_)) {
        return false;
    }
    const auto slot = SlotNumber(GroupText(harvestGroups_, 1));
    if (!slot) {
        return true;
    }
    const HarvestSlot& harvestSlot = harvestSlots_[*slot];
    if (!harvestSlot.connected) {
        return true; // no GUID to store the name under
    }
    const std::string_view name = GroupText(harvestGroups_, 2);
    CopyVisibleText(name, sighting_.nameFormatted);
    const std::string_view address = harvestSlot.address.view();
    if (harvestMemo_.KnowsSighting(harvestSlot.guidKey, address, sighting_.nameFormatted)) {
        return true;
    }
    if (playerDatabase_->SightingExists(harvestSlot.guidKey, address, sighting_.nameFormatted)) {
        harvestMemo_.RememberSighting(harvestSlot.guidKey, address, sighting_.nameFormatted);
        return true;
    }
    sighting_.guidKey = harvestSlot.guidKey;
    SplitAddress(address, sighting_.ipParts);
    sighting_.ipFull.assign(address);
    sighting_.nameRaw.assign(name);
    playerDatabase_->InsertSighting(sighting_);
    harvestMemo_.RememberSighting(harvestSlot.guidKey, address, sighting_.nameFormatted);
    CountOne(playersNew_);
    CountOne(playersTotal_);
    return true;
}
