#include "SlotGuids.h"

#include "PlayerSlotTable.h"

std::optional<KnownGuid> SlotGuids::Find(int slot, std::string_view ip) {
    if (!PlayerSlotTable::IsSlot(slot) || ip.empty()) {
        return std::nullopt;
    }
    const ConnectionRecord* connection = slots_.Slot(slot).connection;
    if (connection == nullptr || connection->address.view() != ip) {
        return std::nullopt;
    }
    const std::string_view guid = connection->Guid();
    if (guid.find_first_not_of('0') == std::string_view::npos) {
        return std::nullopt; // the log's connection carried none (kept as zeros)
    }
    return KnownGuid{std::string(guid), GuidFrom::Log};
}
