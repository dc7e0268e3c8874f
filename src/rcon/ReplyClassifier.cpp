#include "ReplyClassifier.h"

#include "RconCodes.h"

using enum RconResult;

RconResult ClassifyReply(std::string_view text, const ReplyPhrases& phrases) {
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
