#include "HostAddress.h"

namespace {

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
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
