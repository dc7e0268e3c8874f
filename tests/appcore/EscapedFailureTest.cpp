#include "EscapedFailure.h"

#include "MessageRecorder.h"
#include "PlayerDatabase.h"

#include <boost/regex.hpp>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace {

struct EscapeCase {
    const char* name;
    std::function<void()> work;
    std::string text;
};

void PrintTo(const EscapeCase& c, std::ostream* os) {
    *os << c.name;
}

class EscapedFailureTest : public testing::TestWithParam<EscapeCase> {};

// Whatever escapes is told once, as an error box of the application, and
// the caller goes on.
TEST_P(EscapedFailureTest, IsShownAndTheProgramGoesOn) {
    MessageRecorder messages;
    EXPECT_FALSE(RunGuarded(GetParam().work, messages));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Quarvel");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages.messages[0].text.substr(0, GetParam().text.size()), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, EscapedFailureTest,
    testing::Values(
        EscapeCase{"OutOfMemory", [] { throw std::bad_alloc(); }, "Out of memory"},
        EscapeCase{"DatabaseError", [] { throw DatabaseError("disk I/O error"); },
                   "Player database error: disk I/O error"},
        EscapeCase{"RegexError", [] { boost::regex("("); }, "Regular expression error: "},
        EscapeCase{"ComplexityLimit",
                   [] {
                       const std::string text(40, 'a');
                       boost::regex_search(text, boost::regex("(a*)*(a*)*(a*)*[bc]"));
                   },
                   "Regular expression error: "},
        EscapeCase{"NoException", [] { throw 42; }, "The command could not be completed: an "}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

TEST(EscapedFailure, WorkThatSucceedsShowsNothing) {
    MessageRecorder messages;
    bool ran = false;
    EXPECT_TRUE(RunGuarded([&] { ran = true; }, messages));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
