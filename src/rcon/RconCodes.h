#pragma once

#include <cstdint>

// What a server's answer to a ban or unban said, under the long-standing
// names. The numbers are fixed (callers and tests have always compared
// against them); RconCode gives a code's number back. How a request itself
// ended (no reply, a socket failure, ...) is an RconReplyStatus.
enum class RconResult : std::int32_t {
    RCON_PENDING = -100,      // no answer yet
    RCON_BAD_REPLY = -101,    // the answer holds none of the phrases
    RCON_BAD_PASSWORD = -999, // the server rejected the password
    RCON_REFUSED = 1,         // the server refused the command
    RCON_DONE = 2,            // the server carried the command out
};

template <typename Code> constexpr std::int32_t RconCode(Code code) {
    return static_cast<std::int32_t>(code);
}
