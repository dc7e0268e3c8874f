#include "EventText.h"

#include <algorithm>
#include <cstring>

std::optional<EventText> CutEventText(std::string_view line, EventTextBuffer& buffer) {
    if (line.size() < kShortestEventLine || line.size() > kLongestEventLine) {
        return std::nullopt;
    }
    const std::size_t size = line.size() - kEventTextOffset;
    static_assert(kLongestEventLine - kEventTextOffset < std::tuple_size_v<EventTextBuffer>);
    std::memcpy(buffer.data(), line.data() + kEventTextOffset, size);
    buffer[size] = '\0';
    const std::string_view text(buffer.data(), size);

    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t payloadStart = std::min(colon + 2, size);
    return EventText{text.substr(0, colon), text.substr(payloadStart),
                     kEventTextOffset + static_cast<int>(colon) + 2};
}
