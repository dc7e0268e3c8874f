#include "EventPatterns.h"

#include <algorithm>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsUpperHex(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F');
}

// Length of the run of decimal digits at the front of `text`.
std::size_t DigitRun(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && IsDigit(text[n])) {
        ++n;
    }
    return n;
}

// Consumes a run of at least one digit at `pos`; a digit run followed by a
// literal that is not a digit is always the whole run in any match.
bool SkipDigits(std::string_view text, std::size_t& pos) {
    const std::size_t run = DigitRun(text.substr(pos));
    pos += run;
    return run > 0;
}

bool SkipLiteral(std::string_view text, std::size_t& pos, std::string_view literal) {
    if (text.substr(pos, literal.size()) != literal) {
        return false;
    }
    pos += literal.size();
    return true;
}

// " [" + 32 capital hexadecimal digits + "]" at `pos`.
bool BracketedGuidAt(std::string_view text, std::size_t pos) {
    constexpr std::size_t kGuidDigits = 32;
    if (pos + 2 + kGuidDigits + 1 > text.size() || text[pos] != ' ' || text[pos + 1] != '[' ||
        text[pos + 2 + kGuidDigits] != ']') {
        return false;
    }
    const std::string_view digits = text.substr(pos + 2, kGuidDigits);
    return std::all_of(digits.begin(), digits.end(), IsUpperHex);
}

bool Matches(std::string_view payload, boost::cmatch& groups, const boost::regex& pattern) {
    return boost::regex_match(payload.data(), payload.data() + payload.size(), groups, pattern);
}

} // namespace

EventPatterns::EventPatterns()
    : connection_(R"(([0-9]+) - (.+):.+ \[([0-9A-F]{32})\].*)"),
      userInfo_(R"(([0-9]+) n\\(.*)\\t\\([0-9])\\.*)"),
      kill_(R"(([0-9]+) ([0-9]+) ([0-9]+): (.*) killed (.*) by (.*))") {}

bool EventPatterns::MayBeConnection(std::string_view payload) {
    // digits " - " address ":" port " [" GUID "]" rest: the address and the
    // port take at least one byte each, so the first colon after " - " is
    // at least two bytes before some bracketed GUID.
    std::size_t pos = 0;
    if (!SkipDigits(payload, pos) || !SkipLiteral(payload, pos, " - ")) {
        return false;
    }
    const std::size_t colon = payload.find(':', pos + 1);
    if (colon == std::string_view::npos) {
        return false;
    }
    for (std::size_t at = payload.find(" [", colon + 2); at != std::string_view::npos;
         at = payload.find(" [", at + 1)) {
        if (BracketedGuidAt(payload, at)) {
            return true;
        }
    }
    return false;
}

bool EventPatterns::MayBeUserInfo(std::string_view payload) {
    // digits " n\" name "\t\" digit "\" rest
    std::size_t pos = 0;
    if (!SkipDigits(payload, pos) || !SkipLiteral(payload, pos, R"( n\)")) {
        return false;
    }
    for (std::size_t at = payload.find(R"(\t\)", pos); at != std::string_view::npos;
         at = payload.find(R"(\t\)", at + 1)) {
        if (at + 4 < payload.size() && IsDigit(payload[at + 3]) && payload[at + 4] == '\\') {
            return true;
        }
    }
    return false;
}

bool EventPatterns::MayBeKill(std::string_view payload) {
    // digits " " digits " " digits ": " killer " killed " victim " by " means
    std::size_t pos = 0;
    if (!SkipDigits(payload, pos) || !SkipLiteral(payload, pos, " ") || !SkipDigits(payload, pos) ||
        !SkipLiteral(payload, pos, " ") || !SkipDigits(payload, pos) ||
        !SkipLiteral(payload, pos, ": ")) {
        return false;
    }
    const std::size_t killed = payload.find(" killed ", pos);
    return killed != std::string_view::npos &&
           payload.find(" by ", killed + 8) != std::string_view::npos;
}

bool EventPatterns::MatchConnection(std::string_view payload, boost::cmatch& groups) const {
    return MayBeConnection(payload) && Matches(payload, groups, connection_);
}

bool EventPatterns::MatchUserInfo(std::string_view payload, boost::cmatch& groups) const {
    return MayBeUserInfo(payload) && Matches(payload, groups, userInfo_);
}

bool EventPatterns::MatchKill(std::string_view payload, boost::cmatch& groups) const {
    return MayBeKill(payload) && Matches(payload, groups, kill_);
}

long long ReadDecimal(std::string_view digits, long long cap) {
    long long value = 0;
    for (char c : digits) {
        if (!IsDigit(c)) {
            break;
        }
        value = std::min(cap, value * 10 + (c - '0'));
    }
    return value;
}
