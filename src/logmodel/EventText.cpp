#include "EventText.h"

#include <algorithm>
#include <cstring>

std::optional<EventText> CutEventText(std::string_view line, EventTextBuffer& buffer,
                                      int textOffset) {
    textOffset = std::clamp(textOffset, kShortStampOffset, kEventTextOffset);
    const auto offset = static_cast<std::size_t>(textOffset);
    if (line.size() < offset + 2 || line.size() > kLongestEventLine) {
        return std::nullopt;
    }
    const std::size_t size = line.size() - offset;
    static_assert(kLongestEventLine - kShortStampOffset < std::tuple_size_v<EventTextBuffer>);
    std::memcpy(buffer.data(), line.data() + offset, size);
    buffer[size] = '\0';
    const std::string_view text(buffer.data(), size);

    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t payloadStart = std::min(colon + 2, size);
    return EventText{text.substr(0, colon), text.substr(payloadStart), textOffset,
                     textOffset + static_cast<int>(colon) + 2};
}

std::optional<EventText> EventTextInPlace(std::string_view line, int textOffset) {
    textOffset = std::clamp(textOffset, kShortStampOffset, kEventTextOffset);
    const auto offset = static_cast<std::size_t>(textOffset);
    if (line.size() < offset + 2 || line.size() > kLongestEventLine) {
        return std::nullopt;
    }
    const std::string_view text = line.substr(offset);
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t payloadStart = std::min(colon + 2, text.size());
    return EventText{text.substr(0, colon), text.substr(payloadStart), textOffset,
                     textOffset + static_cast<int>(colon) + 2};
}

int TimeStampWidth(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') {
        ++i;
    }
    const std::size_t digits = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        ++i;
    }
    const auto isDigit = [&](std::size_t at) {
        return at < line.size() && line[at] >= '0' && line[at] <= '9';
    };
    if (i == digits || i >= line.size() || line[i] != ':' || !isDigit(i + 1) || !isDigit(i + 2) ||
        i + 3 >= line.size() || line[i + 3] != ' ') {
        return 0;
    }
    return static_cast<int>(i + 4);
}
