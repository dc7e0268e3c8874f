#include "ConnectLine.h"

#include "EventPatterns.h"
#include "GameServer.h"

std::optional<ConnectLine> ReadConnectLine(std::string_view line, EventTextBuffer& buffer,
                                           int eventTextOffset) {
    const auto event = CutEventText(line, buffer, eventTextOffset);
    if (!event || !KeywordAgrees(event->keyword, kConnectKeyword)) {
        return std::nullopt;
    }
    return ReadConnection(event->payload);
}

std::optional<ConnectLine> ReadConnection(std::string_view payload) {
    PatternGroups groups;
    if (!EventPatterns::MatchConnection(payload, groups)) {
        return std::nullopt;
    }
    const long long slot = ReadDecimal(groups[1]);
    if (slot < 0 || slot >= kPlayerSlotCount) {
        return std::nullopt;
    }
    return ConnectLine{static_cast<int>(slot), groups[2], groups[3]};
}
