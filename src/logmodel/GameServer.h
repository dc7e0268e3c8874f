#pragma once

#include <cstddef>

// What every game server has, as the log, the harvest and the player tables
// read it: 64 player slots, numbered 0..63, and player addresses of at most
// 15 characters without their port (a dotted IPv4 address).
inline constexpr int kPlayerSlotCount = 64;
inline constexpr std::size_t kAddressTextLimit = 15;
