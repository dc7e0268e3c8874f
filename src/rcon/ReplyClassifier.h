#pragma once

#include "RconCodes.h"

#include <string_view>

// The phrases a server's first reply datagram is searched for.
struct ReplyPhrases {
    std::string_view done;    // the command was carried out
    std::string_view refused; // the command was refused
};

inline constexpr ReplyPhrases kBanPhrases{"Ban Added to Ban List", "Ban Failed"};
inline constexpr ReplyPhrases kUnbanPhrases{"has been Unbanned", "Not Found in the Ban List"};
inline constexpr std::string_view kBadPasswordPhrase = "Bad rconpassword";

// The result code (RconCodes.h) of a first reply datagram. A reply starts with
// four 0xFF bytes and the word "print", so the text is looked at from byte 9 up
// to the first zero byte from there on; the phrases are searched for with
// regard to case, in the order done, refused, bad password, the first found
// deciding. A text holding none of them is a bad reply.
RconResult ClassifyReply(std::string_view firstDatagram, const ReplyPhrases& phrases);
