#pragma once

#include <algorithm>
#include <string_view>

// A player's GUID as the game writes it: exactly 32 hexadecimal digits (upper
// case in the logs; typed in either case). Anything else is refused before it
// is sent to a server or kept as a ban: an empty GUID would shift every later
// argument of a ban command one place, and a ban of it would hold nobody.
inline bool IsPlayerGuid(std::string_view guid) {
    const auto hex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    return guid.size() == 32 && std::all_of(guid.begin(), guid.end(), hex);
}
