#pragma once

#include <cstdint>

// The codes of the RCON client, as types. Their numbers are fixed (callers
// and tests have always compared against them); RconCode gives a code's
// number back. The upper-case names are the codes' long-standing names.

// What the reply to a request said (the request socket's result).
enum class RconResult : std::int32_t {
    Pending = -100,     // no reply datagram yet
    BadReply = -101,    // the first datagram holds none of the phrases
    BadPassword = -999, // the server rejected the password
    Refused = 1,        // the server refused the command
    Done = 2,           // the server carried the command out
};

// What one poll of a request socket met.
enum class PollStatus : std::int32_t {
    Ok = 0,            // every pending datagram has been read
    ReceiveError = -1, // a receive failed
    Closed = -2,       // a datagram of zero length arrived
    Overflow = -3,     // the last reply slot was filled
};

// What became of a request when it was to be sent.
enum class SendResult : std::int32_t {
    Done = 1,     // the socket layer took the datagram
    Failed = -1,  // it did not, or the host could not be resolved
    Refused = -2, // a value of the request may not be sent; see refusal()
};

template <typename Code> constexpr std::int32_t RconCode(Code code) {
    return static_cast<std::int32_t>(code);
}

inline constexpr RconResult RCON_PENDING = RconResult::Pending;
inline constexpr RconResult RCON_BAD_REPLY = RconResult::BadReply;
inline constexpr RconResult RCON_BAD_PASSWORD = RconResult::BadPassword;
inline constexpr RconResult RCON_REFUSED = RconResult::Refused;
inline constexpr RconResult RCON_DONE = RconResult::Done;

inline constexpr PollStatus POLL_OK = PollStatus::Ok;
inline constexpr PollStatus POLL_RECEIVE_ERROR = PollStatus::ReceiveError;
inline constexpr PollStatus POLL_CLOSED = PollStatus::Closed;
inline constexpr PollStatus POLL_OVERFLOW = PollStatus::Overflow;

inline constexpr SendResult SEND_DONE = SendResult::Done;
inline constexpr SendResult SEND_FAILED = SendResult::Failed;
inline constexpr SendResult SEND_REFUSED = SendResult::Refused;
