#include "Userinfo.h"

#include <gtest/gtest.h>

namespace {

// `dumpuser 3` of an ioquake3 server, as it printed it: each key padded to
// twenty columns, a value that may hold blanks and colour codes.
const std::string kDump = "userinfo\n"
                          "--------\n"
                          "ip                  192.0.2.7:27960\n"
                          "name                ^1Red ^7Baron\n"
                          "cl_guid             0123456789ABCDEF0123456789abcdef\n"
                          "a_very_long_key_name_here value after one blank\r\n"
                          "rate                25000   \n"
                          "cl_guidx            not this one\n";

TEST(Userinfo, ReadsTheValueOfAKey) {
    const struct {
        const char* key;
        const char* value;
    } cases[] = {
        {"ip", "192.0.2.7:27960"},
        {"name", "^1Red ^7Baron"},
        {"cl_guid", "0123456789ABCDEF0123456789abcdef"},
        {"a_very_long_key_name_here", "value after one blank"},
        {"rate", "25000"},
        {"cl_guidx", "not this one"},
        {"cl", ""},       // a key's start is no key
        {"userinfo", ""}, // the title has no value
        {"missing", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UserinfoValue(kDump, c.key), c.value) << c.key;
    }
}

TEST(Userinfo, GivesTheGuidOnlyWhenItIsOne) {
    EXPECT_EQ(UserinfoGuid(kDump), "0123456789ABCDEF0123456789abcdef");
    const struct {
        const char* text;
        const char* guid;
    } cases[] = {
        {"Player 4 is not on the server\n", ""},
        {"userinfo\n--------\nname                bot\n", ""},
        {"cl_guid             NOGUID\n", ""},
        {"cl_guid             0123456789abcdef0123456789abcde\n", ""},   // 31 digits
        {"cl_guid             0123456789abcdef0123456789abcdefa\n", ""}, // 33
        {"cl_guid             0123456789abcdef0123456789abcdeg\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UserinfoGuid(c.text), c.guid) << c.text;
    }
}

} // namespace
