#pragma once

#include "FixedText.h"
#include "GameServer.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// What the latest ClientConnect line of one player slot said, as the
// database harvest needs it: the key of the player's GUID row and the
// address the player came from. A ClientUserinfoChanged line carries neither,
// so its sighting takes both from here. The document keeps its slots from
// one harvest run to the next.
struct HarvestSlot {
    std::int32_t guidKey = 0;
    FixedText<kAddressTextLimit> address; // without the port; longer text is cut
    // False until a ClientConnect line has filled the slot: a name seen in
    // a slot nobody connected to has no GUID to be stored under.
    bool connected = false;
};

using HarvestSlots = std::array<HarvestSlot, kPlayerSlotCount>;

// Fills `parts` with the four dotted parts of an address, each cut to the 3
// characters an IPv4 part can have. A fourth dot ends the split; parts the
// address does not reach are left empty.
void SplitAddress(std::string_view address, std::span<std::string, 4> parts);
