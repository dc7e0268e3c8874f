#pragma once

#include "GuidSource.h"

class PlayerSlotTable;

// The GUIDs a server's own log gives: the connection in effect at a slot at
// the point the log was walked to (its end). Slots are never emptied in the
// tables, so a connection is taken only when its address is the one the
// server shows at that slot now; otherwise it is an earlier player's.
class SlotGuids : public GuidSource {
public:
    explicit SlotGuids(const PlayerSlotTable& table) : slots_(table) {}
    std::optional<KnownGuid> Find(int slot, std::string_view ip) override;

private:
    const PlayerSlotTable& slots_;
};
