#include "PositionArgument.h"

#include <charconv>

namespace {

std::optional<int> ParseInt(const char* first, const char* last) {
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<TextPosition> ParsePosition(const std::string& word) {
    const auto colon = word.find(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const char* begin = word.data();
    const auto line = ParseInt(begin, begin + colon);
    const auto column = ParseInt(begin + colon + 1, begin + word.size());
    if (!line || !column) {
        return std::nullopt;
    }
    return TextPosition{*line, *column};
}
