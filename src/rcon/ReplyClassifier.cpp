#include "ReplyClassifier.h"

#include "RconCodes.h"

using enum RconResult;

RconResult ClassifyReply(std::string_view firstDatagram, const ReplyPhrases& phrases) {
    constexpr std::size_t kTextOffset = 9;
    if (firstDatagram.size() <= kTextOffset) {
        return RCON_BAD_REPLY;
    }
    std::string_view text = firstDatagram.substr(kTextOffset);
    text = text.substr(0, text.find('\0'));
    if (text.find(phrases.done) != std::string_view::npos) {
        return RCON_DONE;
    }
    if (text.find(phrases.refused) != std::string_view::npos) {
        return RCON_REFUSED;
    }
    if (text.find(kBadPasswordPhrase) != std::string_view::npos) {
        return RCON_BAD_PASSWORD;
    }
    return RCON_BAD_REPLY;
}
