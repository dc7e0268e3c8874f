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

// Views of payload[from, to).
std::string_view Part(std::string_view text, std::size_t from, std::size_t to) {
    return text.substr(from, to - from);
}

} // namespace

EventPatterns::EventPatterns()
    : connection_(R"(([0-9]+) - (.+):.+ \[([0-9A-F]{32})\].*)"),
      userInfo_(R"(([0-9]+) n\\(.*)\\t\\([0-9])\\.*)"),
      kill_(R"(([0-9]+) ([0-9]+) ([0-9]+): (.*) killed (.*) by (.*))") {}

// "([0-9]+) - (.+):.+ \[([0-9A-F]{32})\].*", where a dot is any byte. The
// first digits run to the blank (a digit cannot be one); the greedy address
// ends at the last colon that leaves room for at least one byte before a
// bracketed GUID; the greedy ".+" after it reaches the last bracketed GUID.
// So: the last bracketed GUID, and the last colon at least two bytes before
// it and at least one byte after " - ".
bool EventPatterns::MatchConnection(std::string_view payload, PatternGroups& groups) {
    std::size_t pos = 0;
    if (!SkipDigits(payload, pos)) {
        return false;
    }
    const std::size_t slotEnd = pos;
    if (!SkipLiteral(payload, pos, " - ")) {
        return false;
    }
    const std::size_t addressStart = pos;
    constexpr std::size_t kBracketed = 35; // " [" + 32 digits + "]"
    if (payload.size() < addressStart + 1 + 1 + 1 + kBracketed) {
        return false;
    }
    std::size_t guidAt = std::string_view::npos;
    for (std::size_t at = payload.size() - kBracketed + 1; at-- > addressStart + 3;) {
        if (payload[at] == ' ' && BracketedGuidAt(payload, at)) {
            guidAt = at;
            break;
        }
    }
    if (guidAt == std::string_view::npos) {
        return false;
    }
    // The colon: at most guidAt - 2, at least addressStart + 1.
    const std::size_t colon = payload.rfind(':', guidAt - 2);
    if (colon == std::string_view::npos || colon < addressStart + 1) {
        return false;
    }
    groups.group[0] = payload;
    groups.group[1] = Part(payload, 0, slotEnd);
    groups.group[2] = Part(payload, addressStart, colon);
    groups.group[3] = payload.substr(guidAt + 2, 32);
    return true;
}

// "([0-9]+) n\\(.*)\\t\\([0-9])\\.*": the digits, " n\", then the greedy
// name up to the last "\t\" that a digit and a backslash follow.
bool EventPatterns::MatchUserInfo(std::string_view payload, PatternGroups& groups) {
    std::size_t pos = 0;
    if (!SkipDigits(payload, pos)) {
        return false;
    }
    const std::size_t slotEnd = pos;
    if (!SkipLiteral(payload, pos, R"( n\)")) {
        return false;
    }
    const std::size_t nameStart = pos;
    if (payload.size() < nameStart + 5) {
        return false;
    }
    for (std::size_t at = payload.size() - 5 + 1; at-- > nameStart;) {
        if (payload[at] == '\\' && payload[at + 1] == 't' && payload[at + 2] == '\\' &&
            IsDigit(payload[at + 3]) && payload[at + 4] == '\\') {
            groups.group[0] = payload;
            groups.group[1] = Part(payload, 0, slotEnd);
            groups.group[2] = Part(payload, nameStart, at);
            groups.group[3] = payload.substr(at + 3, 1);
            return true;
        }
    }
    return false;
}

// "([0-9]+) ([0-9]+) ([0-9]+): (.*) killed (.*) by (.*)": three digit runs,
// then the greedy killer up to the last " killed " that a " by " follows at
// least eight bytes later (where the victim begins), and the greedy victim
// up to the last " by ".
bool EventPatterns::MatchKill(std::string_view payload, PatternGroups& groups) {
    std::size_t pos = 0;
    std::size_t ends[3] = {};
    for (int n = 0; n < 3; ++n) {
        if (!SkipDigits(payload, pos)) {
            return false;
        }
        ends[n] = pos;
        if (!SkipLiteral(payload, pos, n < 2 ? " " : ": ")) {
            return false;
        }
    }
    const std::size_t killerStart = pos;
    constexpr std::string_view kKilled = " killed ";
    constexpr std::string_view kBy = " by ";
    const std::size_t by = payload.rfind(kBy);
    if (by == std::string_view::npos || by < killerStart + kKilled.size()) {
        return false;
    }
    const std::size_t killed = payload.rfind(kKilled, by - kKilled.size());
    if (killed == std::string_view::npos || killed < killerStart) {
        return false;
    }
    groups.group[0] = payload;
    groups.group[1] = Part(payload, 0, ends[0]);
    groups.group[2] = Part(payload, ends[0] + 1, ends[1]);
    groups.group[3] = Part(payload, ends[1] + 1, ends[2]);
    groups.group[4] = Part(payload, killerStart, killed);
    groups.group[5] = Part(payload, killed + kKilled.size(), by);
    groups.group[6] = payload.substr(by + kBy.size());
    return true;
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
