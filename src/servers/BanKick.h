#pragma once

#include "BanState.h"
#include "PlayerAction.h"

#include <cstdint>

// The kick a ban asks for now, where the player is on a server: a temp-kick
// for the whole minutes left of a temp-ban (the last one begun counts), a
// kick for a permanent ban; with the ban's reason. quarvelctl tempban and
// the windows' temp-ban both kick by it.
PlayerAction KickOfBan(const BanState& state, std::int64_t now);
