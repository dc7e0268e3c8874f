#pragma once

#include "Messages.h"

#include <string>
#include <string_view>

// How one RCON request ended.
enum class RconReplyStatus {
    Answered,    // the server answered; the text holds the answer whole
    BadPassword, // the server said "Bad rconpassword."
    NoPassword,  // the server said "No rconpassword set on the server."
    NoReply,     // nothing came from the server within the deadline
    NotSent,     // refused before anything went out; `refusal` says why
    Unresolved,  // the host name could not be looked up; nothing went out
    SocketError, // the socket layer failed (`errorNumber`)
    Closed,      // the server sent a datagram of zero length
    Overflow,    // the reply took more datagrams than one reply may
};

struct RconReply {
    RconReplyStatus status = RconReplyStatus::NoReply;
    std::string text;    // the answer's text, print headers removed: bytes as the server sent
    int datagrams = 0;   // datagrams of the answer
    int errorNumber = 0; // the socket layer's error number (SocketError)
    std::string refusal; // why nothing was sent (NotSent, Unresolved); UTF-8

    bool answered() const { return status == RconReplyStatus::Answered; }
};

// What a password refusal's first line starts with.
inline constexpr std::string_view kBadPasswordReply = "Bad rconpassword";
inline constexpr std::string_view kNoPasswordReply = "No rconpassword set";

// The status an answer's text stands for: a password refusal when its first
// line is one, else Answered.
RconReplyStatus StatusOfAnswer(std::string_view text);

// What the user is told of a request that did not end Answered: the
// long-standing texts ("No reply", "Invalid RCON password", ...) with the
// server's name (log bytes) as the caption. Also for Answered: "Bad reply"
// quoting the first line, for callers that found no answer they know in it.
Message ReplyFailureMessage(const RconReply& reply, std::string_view serverName);

// "Bad reply: <the first line of the answer>", or "Bad reply" when it is
// empty; UTF-8, a very long line cut.
std::string BadReplyText(std::string_view answer);
