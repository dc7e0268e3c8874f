#include "VisibleText.h"

#include "CaretCodes.h"

#include <cstring>

bool IsFreeOfCarets(std::string_view raw) {
    return raw.empty() || std::memchr(raw.data(), kCaret, raw.size()) == nullptr;
}

std::string_view CopyVisibleText(std::string_view raw, std::string& buffer) {
    buffer.clear();
    std::size_t position = 0;
    while (position < raw.size()) {
        // Whole stretches between carets are copied at once.
        const std::size_t caret = raw.find(kCaret, position);
        if (caret == std::string_view::npos) {
            buffer.append(raw.substr(position));
            break;
        }
        buffer.append(raw.substr(position, caret - position));
        if (caret + 1 >= raw.size()) {
            break; // a trailing caret shows nothing
        }
        if (raw[caret + 1] == kCaret) {
            buffer.push_back(kCaret);
        }
        position = caret + 2;
    }
    return buffer;
}
