#pragma once

#include "RconCodes.h"

#include <string_view>

// The phrases a server's answer to a ban or unban is searched for.
struct ReplyPhrases {
    std::string_view done;    // the command was carried out
    std::string_view refused; // the command was refused
};

inline constexpr ReplyPhrases kBanPhrases{"Ban Added to Ban List", "Ban Failed"};
inline constexpr ReplyPhrases kUnbanPhrases{"has been Unbanned", "Not Found in the Ban List"};
inline constexpr std::string_view kBadPasswordPhrase = "Bad rconpassword";

// The result code (RconCodes.h) of an answer's whole text, print headers
// removed (ReplyAssembly). The phrases are searched for with regard to case,
// in the order done, refused, bad password, the first found deciding. A text
// holding none of them is a bad reply.
RconResult ClassifyReply(std::string_view text, const ReplyPhrases& phrases);
