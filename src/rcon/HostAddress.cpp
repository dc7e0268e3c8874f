#include "HostAddress.h"

#include <algorithm>

namespace {

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLabelCharacter(char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
           c == '_';
}

} // namespace

std::optional<std::uint32_t> ParseDottedIPv4(std::string_view text) {
    std::uint32_t address = 0;
    std::size_t i = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (i >= text.size() || text[i] != '.') {
                return std::nullopt;
            }
            ++i;
        }
        std::size_t digits = 0;
        std::uint32_t value = 0;
        while (i < text.size() && IsAsciiDigit(text[i]) && digits < 3) {
            value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || value > 255) {
            return std::nullopt;
        }
        address = (address << 8) | value;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    return address;
}

bool IsHostName(std::string_view text) {
    if (text.empty() || text.size() > 253) {
        return false;
    }
    if (std::all_of(text.begin(), text.end(), [](char c) { return IsAsciiDigit(c) || c == '.'; })) {
        return false;
    }
    std::string_view rest = text;
    // A final dot names the root and is allowed.
    if (rest.back() == '.') {
        rest.remove_suffix(1);
    }
    while (true) {
        const std::size_t dot = rest.find('.');
        const std::string_view label = rest.substr(0, dot);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-' ||
            !std::all_of(label.begin(), label.end(), IsLabelCharacter)) {
            return false;
        }
        if (dot == std::string_view::npos) {
            return true;
        }
        rest.remove_prefix(dot + 1);
    }
}
