#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A server's `address=` is a dotted IPv4 address or a host name the system
// looks up; which texts are either is the configuration's one rule
// (IsServerAddress, ConfigValues.h), which the client checks again before
// anything is sent.

// The address of a dotted IPv4 text (four numbers 0 to 255), in host byte
// order; nothing for any other text.
std::optional<std::uint32_t> ParseDottedIPv4(std::string_view text);
