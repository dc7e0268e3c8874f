#pragma once

// The integer codes of the RCON client. Their values are fixed: callers and
// tests compare against them.

// What the reply to a request said (the request socket's result).
inline constexpr int RCON_PENDING = -100;      // no reply datagram yet
inline constexpr int RCON_BAD_REPLY = -101;    // the first datagram holds none of the phrases
inline constexpr int RCON_BAD_PASSWORD = -999; // the server rejected the password
inline constexpr int RCON_REFUSED = 1;         // the server refused the command
inline constexpr int RCON_DONE = 2;            // the server carried the command out

// What one poll of a request socket met.
inline constexpr int POLL_OK = 0;             // every pending datagram has been read
inline constexpr int POLL_RECEIVE_ERROR = -1; // a receive failed
inline constexpr int POLL_CLOSED = -2;        // a datagram of zero length arrived
inline constexpr int POLL_OVERFLOW = -3;      // the last reply slot was filled

// What became of a request when it was to be sent.
inline constexpr int SEND_DONE = 1;     // the socket layer took the datagram
inline constexpr int SEND_FAILED = -1;  // it did not, or the host could not be resolved
inline constexpr int SEND_REFUSED = -2; // a value of the request may not be sent; see refusal()
