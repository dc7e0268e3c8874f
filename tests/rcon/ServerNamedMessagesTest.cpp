// The server's name in the text of the messages about one server.
#include "ServerNamedMessages.h"

#include "MessageRecorder.h"

#include <gtest/gtest.h>

namespace {

struct NamingCase {
    const char* name;
    Message shown;
    std::string text; // what reaches the target
};

void PrintTo(const NamingCase& c, std::ostream* os) {
    *os << c.name;
}

class ServerNaming : public testing::TestWithParam<NamingCase> {};

TEST_P(ServerNaming, NamesTheServerOnlyInItsOwnMessages) {
    const NamingCase& c = GetParam();
    const std::forward_list<ServerEntry> servers{{"Public #1", "127.0.0.1", 1, "p"},
                                                 {"Caf\xE9", "127.0.0.1", 2, "p"}};
    MessageRecorder target;
    ServerNamedMessages named(servers, target);

    named.Show(c.shown);

    ASSERT_EQ(target.messages.size(), 1u);
    EXPECT_EQ(target.messages[0].text, c.text);
    EXPECT_EQ(target.messages[0].caption, c.shown.caption);
    EXPECT_EQ(target.messages[0].icon, c.shown.icon);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ServerNaming,
    testing::Values(
        NamingCase{"Answer",
                   {"GUID added to ban list", "Public #1", MessageIcon::None},
                   "Public #1: GUID added to ban list"},
        NamingCase{"ManyLines",
                   {"Ban failed\nUsually this happens if the\nsupplied GUID is already banned",
                    "Public #1", MessageIcon::Warning},
                   "Public #1: Ban failed\nUsually this happens if the\nsupplied GUID is already "
                   "banned"},
        NamingCase{
            "NameAsText", {"No reply", "Caf\u00e9", MessageIcon::Error}, "Caf\u00e9: No reply"},
        NamingCase{"NotAServer",
                   {"No servers configured", "Warning", MessageIcon::Warning},
                   "No servers configured"},
        NamingCase{"ApplicationTitle",
                   {"No connection data for this player: nothing was sent", "Quarvel",
                    MessageIcon::Warning},
                   "No connection data for this player: nothing was sent"},
        NamingCase{"NoCaption", {"x", "", MessageIcon::None}, "x"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
