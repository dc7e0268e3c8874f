#pragma once

#include <string>
#include <string_view>

// One value of a player's userinfo as `dumpuser <slot>` prints it: a title,
// a line of dashes, then a line a key, each key padded with blanks to a
// column and followed by its value. Empty when the key is not there.
std::string UserinfoValue(std::string_view text, std::string_view key);

// The player's GUID in the userinfo (the game's `cl_guid`): 32 hexadecimal
// digits, or empty when there is none or it is no GUID.
std::string UserinfoGuid(std::string_view text);
