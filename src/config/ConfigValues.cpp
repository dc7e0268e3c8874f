#include "ConfigValues.h"

#include "ConfigLine.h"
#include "ServerCommands.h"

#include <algorithm>
#include <charconv>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsDottedIPv4(std::string_view text) {
    int parts = 0;
    while (true) {
        const std::size_t dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        // A leading zero would be read as octal by some resolvers: "010" is 8.
        if (part.empty() || part.size() > 3 || !std::all_of(part.begin(), part.end(), IsDigit) ||
            (part.size() > 1 && part.front() == '0')) {
            return false;
        }
        int number = 0;
        std::from_chars(part.data(), part.data() + part.size(), number);
        if (number > 255 || ++parts > 4) {
            return false;
        }
        if (dot == std::string_view::npos) {
            return parts == 4;
        }
        text.remove_prefix(dot + 1);
    }
}

bool IsHostLabel(std::string_view label) {
    const auto letterOrDigit = [](char c) {
        return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    return !label.empty() && label.size() <= 63 && letterOrDigit(label.front()) &&
           letterOrDigit(label.back()) && std::all_of(label.begin(), label.end(), [&](char c) {
               return letterOrDigit(c) || c == '-';
           });
}

bool IsHostName(std::string_view text) {
    if (!text.empty() && text.back() == '.') {
        text.remove_suffix(1);
    }
    std::string_view last;
    while (true) {
        const std::size_t dot = text.find('.');
        last = text.substr(0, dot);
        if (!IsHostLabel(last)) {
            return false;
        }
        if (dot == std::string_view::npos) {
            break;
        }
        text.remove_prefix(dot + 1);
    }
    // "1.2.3" or "300.1.1.1" would be taken by the resolver for a number.
    return !std::all_of(last.begin(), last.end(), IsDigit);
}

std::string TooLong(std::string_view key, std::size_t limit) {
    return "the value of \"" + std::string(key) + "\" is longer than " + std::to_string(limit) +
           " characters";
}

} // namespace

bool IsServerAddress(std::string_view text) {
    return IsDottedIPv4(text) || IsHostName(text);
}

std::optional<int> ParsePollSeconds(std::string_view text) {
    int seconds = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (text.empty() || !IsDigit(text.front()) || status != std::errc() ||
        end != text.data() + text.size() || seconds < kShortestPollSeconds ||
        seconds > kLongestPollSeconds) {
        return std::nullopt;
    }
    return seconds;
}

std::string CheckServerValue(std::string_view key, std::string_view value) {
    for (const char* textKey : {"name", "address", "rconpass"}) {
        if (SameConfigName(key, textKey) && value.size() > kServerTextLimit) {
            return TooLong(textKey, kServerTextLimit);
        }
    }
    if (SameConfigName(key, "address") && !IsServerAddress(value)) {
        return "\"address\" is neither a dotted IPv4 address nor a host name";
    }
    if (SameConfigName(key, "log") && value.size() > kLogPathLimit) {
        return TooLong("log", kLogPathLimit);
    }
    if (SameConfigName(key, "poll") && !ParsePollSeconds(value)) {
        return "\"poll\" takes a whole number of seconds from " +
               std::to_string(kShortestPollSeconds) + " to " + std::to_string(kLongestPollSeconds);
    }
    if (const auto command = ServerCommandOfKey(key)) {
        return CheckCommandTemplate(*command, value);
    }
    return {};
}

std::string CheckDatabaseValue(std::string_view key, std::string_view value) {
    if (SameConfigName(key, "file") && value.size() > kDatabaseValueLimit) {
        return TooLong("file", kDatabaseValueLimit);
    }
    return {};
}
