#include "PlayerSlotTable.h"

#include <algorithm>

const ConnectionRecord& PlayerSlotTable::SetConnection(int slot, std::string_view guid,
                                                       std::string_view address) {
    ConnectionRecord& record = connections_.emplace_front();
    std::fill(record.guid.begin(), record.guid.end(), '0');
    std::copy_n(guid.begin(), std::min(guid.size(), kGuidLength), record.guid.begin());
    record.address.Assign(address);
    ++connectionCount_;
    slots_[static_cast<std::size_t>(slot)].connection = &record;
    return record;
}

void PlayerSlotTable::SetNameAndTeam(int slot, std::string_view name, int team) {
    PlayerSlot& target = slots_[static_cast<std::size_t>(slot)];
    target.name.Assign(name);
    target.team = static_cast<std::int16_t>(team);
}

std::optional<int> PlayerSlotTable::FindByName(std::string_view name) const {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slots_[static_cast<std::size_t>(slot)].name.view().starts_with(name)) {
            return slot;
        }
    }
    return std::nullopt;
}
