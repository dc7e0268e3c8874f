#pragma once

#include <array>
#include <boost/regex.hpp>
#include <string_view>

// What a pattern's match says: group 0 is the whole payload, groups 1 to 6
// the pattern's own groups, as views of the payload.
struct PatternGroups {
    std::array<std::string_view, 7> group{};
    std::string_view operator[](int n) const { return group[static_cast<std::size_t>(n)]; }
};

// The three event patterns and a whole-payload match against each. Boost.Regex
// compiles them once per log model with the default Perl syntax and is the
// reference of what a match is (regex_match, greedy groups); the matches the
// program runs are exact scans in linear time that give the same answer and
// the same groups for every payload, which a differential test and a fuzz
// target hold them to. About half the lines of a log reach a pattern, and
// backtracking over them was most of a classification's time.
class EventPatterns {
public:
    // Throws boost::regex_error if a pattern does not compile (they do).
    EventPatterns();
    EventPatterns(const EventPatterns&) = delete;
    EventPatterns& operator=(const EventPatterns&) = delete;

    // The patterns as Boost.Regex has them, the reference of the matches.
    // ClientConnect: group 1 slot, group 2 address (before the port), group 3
    // the GUID in capital hexadecimal digits.
    const boost::regex& connectionPattern() const { return connection_; }
    // ClientUserinfoChanged: group 1 slot, group 2 name, group 3 team digit.
    const boost::regex& userInfoPattern() const { return userInfo_; }
    // Kill: groups 1-3 killer slot, victim slot and means number; groups 4-6
    // killer name, victim name and means name.
    const boost::regex& killPattern() const { return kill_; }

    // Whole-payload matches.
    static bool MatchConnection(std::string_view payload, PatternGroups& groups);
    static bool MatchUserInfo(std::string_view payload, PatternGroups& groups);
    static bool MatchKill(std::string_view payload, PatternGroups& groups);

private:
    boost::regex connection_;
    boost::regex userInfo_;
    boost::regex kill_;
};

// The decimal value of a run of digits, held at `cap` when it is larger, so
// that a number of any length reads without overflow.
long long ReadDecimal(std::string_view digits, long long cap = 1'000'000'000);

// A Boost.Regex group as a view of the matched text.
inline std::string_view GroupText(const boost::cmatch& groups, int group) {
    const auto& sub = groups[group];
    return {sub.first, static_cast<std::size_t>(sub.second - sub.first)};
}
