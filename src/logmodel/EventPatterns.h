#pragma once

#include <boost/regex.hpp>
#include <string_view>

// The three event patterns, compiled once per log model with the default
// Perl syntax and matched against a whole payload with regex_match. Each
// match first runs a cheap exact pre-check: a test of conditions every
// matching payload meets, so it only turns away payloads the pattern could
// never match and the regex stays the judge of everything else. About half
// the lines of a log reach a pattern, and the regex is most of their cost.
class EventPatterns {
public:
    // Throws boost::regex_error if a pattern does not compile (they do).
    EventPatterns();
    EventPatterns(const EventPatterns&) = delete;
    EventPatterns& operator=(const EventPatterns&) = delete;

    // ClientConnect: group 1 slot, group 2 address (before the port), group 3
    // the GUID in capital hexadecimal digits.
    const boost::regex& connectionPattern() const { return connection_; }
    // ClientUserinfoChanged: group 1 slot, group 2 name, group 3 team digit.
    const boost::regex& userInfoPattern() const { return userInfo_; }
    // Kill: groups 1-3 killer slot, victim slot and means number; groups 4-6
    // killer name, victim name and means name.
    const boost::regex& killPattern() const { return kill_; }

    // Whole-payload matches with the pre-check in front. `groups` is the
    // caller's, so a walk reuses one set of results for every line.
    bool MatchConnection(std::string_view payload, boost::cmatch& groups) const;
    bool MatchUserInfo(std::string_view payload, boost::cmatch& groups) const;
    bool MatchKill(std::string_view payload, boost::cmatch& groups) const;

    // The pre-checks alone: false only for payloads the pattern cannot match.
    static bool MayBeConnection(std::string_view payload);
    static bool MayBeUserInfo(std::string_view payload);
    static bool MayBeKill(std::string_view payload);

private:
    boost::regex connection_;
    boost::regex userInfo_;
    boost::regex kill_;
};

// The decimal value of a run of digits, held at `cap` when it is larger, so
// that a number of any length reads without overflow.
long long ReadDecimal(std::string_view digits, long long cap = 1'000'000'000);

// A regex group as a view of the matched text.
inline std::string_view GroupText(const boost::cmatch& groups, int group) {
    const auto& sub = groups[group];
    return {sub.first, static_cast<std::size_t>(sub.second - sub.first)};
}
