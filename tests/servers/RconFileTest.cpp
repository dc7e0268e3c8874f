#include "RconFile.h"

#include <gtest/gtest.h>

namespace {

TEST(RconFile, EveryLineButEmptyOnesAndCommentsInOrder) {
    const struct {
        const char* text;
        std::vector<std::string> commands;
    } cases[] = {
        {"", {}},
        {"status", {"status"}},
        {"// restart the map\r\n  map_restart  \r\n\r\n   \t\n  // say nothing\nsay \"a // b\"\n",
         {"map_restart", "say \"a // b\""}},
        {"g_gametype 4\nkick all\n", {"g_gametype 4", "kick all"}},
        {"/ one slash is a command\n", {"/ one slash is a command"}},
        {"say \xE9t\xE9", {"say \xE9t\xE9"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RconFileCommands(c.text), c.commands) << c.text;
    }
}

} // namespace
