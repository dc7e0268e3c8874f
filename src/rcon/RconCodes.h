#pragma once

#include <cstdint>

// The codes of the RCON client, as types, under their long-standing names.
// Their numbers are fixed (callers and tests have always compared against
// them); RconCode gives a code's number back.

// What the reply to a request said (the request socket's result).
enum class RconResult : std::int32_t {
    RCON_PENDING = -100,      // no reply datagram yet
    RCON_BAD_REPLY = -101,    // the first datagram holds none of the phrases
    RCON_BAD_PASSWORD = -999, // the server rejected the password
    RCON_REFUSED = 1,         // the server refused the command
    RCON_DONE = 2,            // the server carried the command out
};

// What one poll of a request socket met.
enum class PollStatus : std::int32_t {
    POLL_OK = 0,             // every pending datagram has been read
    POLL_RECEIVE_ERROR = -1, // a receive failed
    POLL_CLOSED = -2,        // a datagram of zero length arrived
    POLL_OVERFLOW = -3,      // the last reply slot was filled
};

// What became of a request when it was to be sent.
enum class SendResult : std::int32_t {
    SEND_DONE = 1,     // the socket layer took the datagram
    SEND_FAILED = -1,  // it did not, or the host could not be resolved
    SEND_REFUSED = -2, // a value of the request may not be sent; see refusal()
};

template <typename Code> constexpr std::int32_t RconCode(Code code) {
    return static_cast<std::int32_t>(code);
}
