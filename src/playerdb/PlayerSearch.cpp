#include "PlayerSearch.h"

#include "VisibleText.h"
#include "Windows1252.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace {

constexpr std::size_t kGuidDigits = 32;

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Quoted(std::string_view bytes) {
    return "\"" + Windows1252ToUtf8(bytes) + "\"";
}

PlayerSearchParse ParseFailure(std::string error) {
    return PlayerSearchParse{std::nullopt, std::move(error)};
}

PlayerSearchParse ParseName(std::string_view text) {
    PlayerSearch search;
    CopyVisibleText(text, search.name);
    if (search.name.empty()) {
        return ParseFailure(text.empty() ? "The name to look for is empty."
                                         : "The name to look for holds nothing but colour codes.");
    }
    return PlayerSearchParse{std::move(search), {}};
}

PlayerSearchParse ParseGuid(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) {
        return ParseFailure("The GUID prefix is empty.");
    }
    if (text.size() > kGuidDigits) {
        return ParseFailure("A GUID has 32 hexadecimal digits; " + Quoted(text) + " has " +
                            std::to_string(text.size()) + " characters.");
    }
    PlayerSearch search;
    search.mode = PlayerSearchMode::Guid;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return ParseFailure(Quoted(std::string_view(&c, 1)) + " in " + Quoted(text) +
                                " is not a hexadecimal digit (0-9, A-F).");
        }
        search.guidPrefix += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return PlayerSearchParse{std::move(search), {}};
}

// One to three decimal digits worth 0 to 255; no sign.
std::optional<int> ParseOctet(std::string_view digits) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (digits.empty() || digits.size() > 3 || !std::all_of(digits.begin(), digits.end(), digit)) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || value > 255) {
        return std::nullopt;
    }
    return value;
}

std::string AddressShapes() {
    return "give four numbers (81.2.3.4), a prefix ending in a dot (81.2.) or a network "
           "(81.2.0.0/16)";
}

// The octets of a dotted text with no trailing dot; an error when one is no
// number from 0 to 255.
std::optional<std::vector<int>> ParseOctets(std::string_view dotted, std::string_view whole,
                                            std::string& error) {
    std::vector<int> octets;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = dotted.find('.', start);
        const std::string_view part =
            dotted.substr(start, dot == std::string_view::npos ? dotted.npos : dot - start);
        const auto octet = ParseOctet(part);
        if (!octet) {
            error = part.empty()
                        ? Quoted(whole) + " is not an address: " + AddressShapes() + "."
                        : Quoted(part) + " in " + Quoted(whole) + " is not a number from 0 to 255.";
            return std::nullopt;
        }
        octets.push_back(*octet);
        if (dot == std::string_view::npos) {
            return octets;
        }
        start = dot + 1;
    }
}

std::string Dotted(const std::vector<int>& octets, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += std::to_string(octets[i]) + ".";
    }
    return text;
}

PlayerSearchParse Address(AddressPattern pattern) {
    PlayerSearch search;
    search.mode = PlayerSearchMode::Address;
    search.address = std::move(pattern);
    return PlayerSearchParse{std::move(search), {}};
}

PlayerSearchParse ParseNetwork(std::string_view text, std::size_t slash) {
    std::string error;
    const auto octets = ParseOctets(text.substr(0, slash), text, error);
    if (!octets) {
        return ParseFailure(error);
    }
    if (octets->size() != 4) {
        return ParseFailure("The network in " + Quoted(text) +
                            " needs an address of four numbers, as in 81.2.0.0/16.");
    }
    const std::string_view sizeText = text.substr(slash + 1);
    int bits = -1;
    const auto [end, ec] =
        std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), bits);
    if (sizeText.empty() || sizeText.size() > 2 || ec != std::errc() ||
        end != sizeText.data() + sizeText.size() || bits < 0 || bits > 32) {
        return ParseFailure("The network size in " + Quoted(text) +
                            " is not a number of bits from 0 to 32.");
    }
    const std::size_t whole = static_cast<std::size_t>(bits / 8);
    const int rest = bits % 8;
    AddressPattern pattern;
    if (whole == 4) {
        pattern.exact = true;
        pattern.text = Dotted(*octets, 4);
        pattern.text.pop_back();
        return Address(std::move(pattern));
    }
    pattern.text = Dotted(*octets, whole);
    if (rest != 0) {
        const int span = 1 << (8 - rest);
        pattern.partialOctet = static_cast<int>(whole);
        pattern.low = (*octets)[whole] & ~(span - 1);
        pattern.high = pattern.low + span - 1;
    }
    return Address(std::move(pattern));
}

PlayerSearchParse ParseAddress(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) {
        return ParseFailure("The address pattern is empty.");
    }
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        return ParseNetwork(text, slash);
    }
    const bool prefix = text.back() == '.';
    std::string error;
    const auto octets = ParseOctets(prefix ? text.substr(0, text.size() - 1) : text, text, error);
    if (!octets) {
        return ParseFailure(error);
    }
    AddressPattern pattern;
    if (prefix) {
        if (octets->size() > 3) {
            return ParseFailure(Quoted(text) + " is not an address: a prefix ends after the first, "
                                               "second or third number.");
        }
        pattern.text = Dotted(*octets, octets->size());
        return Address(std::move(pattern));
    }
    if (octets->size() != 4) {
        return ParseFailure(Quoted(text) + " is not an address: " + AddressShapes() + ".");
    }
    pattern.exact = true;
    pattern.text = Dotted(*octets, 4);
    pattern.text.pop_back();
    return Address(std::move(pattern));
}

} // namespace

PlayerSearchParse ParsePlayerSearch(PlayerSearchMode mode, std::string_view text) {
    switch (mode) {
    case PlayerSearchMode::Name:
        return ParseName(text);
    case PlayerSearchMode::Address:
        return ParseAddress(text);
    case PlayerSearchMode::Guid:
        return ParseGuid(text);
    }
    return ParseFailure("Unknown search.");
}
