// The event matches against Boost.Regex, their reference, on any payload:
// the same answer and the same bytes in every group.
#include "EventPatterns.h"
#include "FuzzCheck.h"

#include <string>

namespace {

void Compare(const boost::regex& pattern, bool (*match)(std::string_view, PatternGroups&),
             int groupCount, const std::string& payload) {
    boost::cmatch expected;
    const bool reference =
        boost::regex_match(payload.data(), payload.data() + payload.size(), expected, pattern);
    PatternGroups groups;
    FUZZ_CHECK(match(payload, groups) == reference);
    for (int g = 1; reference && g <= groupCount; ++g) {
        FUZZ_CHECK(groups[g].data() == expected[g].first);
        FUZZ_CHECK(groups[g] == GroupText(expected, g));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const EventPatterns patterns;
    // A payload is at most a line's 247 bytes after its stamp.
    const std::string payload(reinterpret_cast<const char*>(data),
                              std::min<std::size_t>(size, 247));
    Compare(patterns.connectionPattern(), EventPatterns::MatchConnection, 3, payload);
    Compare(patterns.userInfoPattern(), EventPatterns::MatchUserInfo, 3, payload);
    Compare(patterns.killPattern(), EventPatterns::MatchKill, 6, payload);
    return 0;
}
