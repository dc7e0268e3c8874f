#include "PlayerSlotTable.h"

#include <algorithm>

const ConnectionRecord& PlayerSlotTable::SetConnection(int slot, std::string_view guid,
                                                       std::string_view address) {
    ConnectionRecord& record = connections_.emplace_back();
    std::fill(record.guid.begin(), record.guid.end(), '0');
    std::copy_n(guid.begin(), std::min(guid.size(), kGuidLength), record.guid.begin());
    record.address.Assign(address);
    slots_[static_cast<std::size_t>(slot)].connection = &record;
    connectionIndexes_[static_cast<std::size_t>(slot)] =
        static_cast<std::int32_t>(connections_.size() - 1);
    return record;
}

void PlayerSlotTable::SetNameAndTeam(int slot, std::string_view name, int team) {
    PlayerSlot& target = slots_[static_cast<std::size_t>(slot)];
    target.name.Assign(name);
    target.team = static_cast<std::int16_t>(team);
}

std::optional<int> PlayerSlotTable::FindByName(std::string_view name) const {
    if (name.empty()) {
        return 0;
    }
    // Chat lines scan all 64 slots; the first and last bytes settle most of
    // them (names often share a leading colour code).
    const std::size_t last = name.size() - 1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::string_view slotName = slots_[static_cast<std::size_t>(slot)].name.view();
        if (slotName.size() > last && slotName[last] == name[last] &&
            slotName.front() == name.front() && slotName.starts_with(name)) {
            return slot;
        }
    }
    return std::nullopt;
}
