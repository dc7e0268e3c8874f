#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// What a server's `address=` may be: a dotted IPv4 address, or a host name
// the system looks up. Anything else (an IPv6 address, "host:port", blanks)
// is no address this client can send to, and is refused before anything is
// sent.

// The address of a dotted IPv4 text (four numbers 0 to 255), in host byte
// order; nothing for any other text.
std::optional<std::uint32_t> ParseDottedIPv4(std::string_view text);

// A host name: dot-separated labels of letters, digits and hyphens (an
// underscore too, which some local names carry), none empty or longer than
// 63, no label starting or ending with a hyphen, 253 characters at most, and
// not all digits and dots (that would be a malformed dotted address).
bool IsHostName(std::string_view text);

// Either of the two.
inline bool IsServerAddress(std::string_view text) {
    return ParseDottedIPv4(text).has_value() || IsHostName(text);
}
