#include "PlayerAction.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct ActionResultCase {
    const char* name;
    RconReplyStatus status;
    std::string text;
    ServerOutcome outcome;
    std::string message;
};

void PrintTo(const ActionResultCase& c, std::ostream* os) {
    *os << c.name;
}

class ActionResultOf : public testing::TestWithParam<ActionResultCase> {};

// A kick's or message's outcome as the records keep it: an answer the server
// gives to a command it does not know must not be kept as done.
TEST_P(ActionResultOf, ReplyGivesOutcomeAndMessage) {
    const ActionResultCase& c = GetParam();
    RconReply reply;
    reply.status = c.status;
    reply.text = c.text;
    const ServerResult result = ActionResult(reply, "Main");
    EXPECT_EQ(result.server, "Main");
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.message.text, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ActionResultOf,
    testing::Values(
        ActionResultCase{"Silent", RconReplyStatus::Answered, "", ServerOutcome::Done, "Done"},
        ActionResultCase{"Said", RconReplyStatus::Answered, "player kicked\n \n",
                         ServerOutcome::Done, "player kicked"},
        ActionResultCase{"UnknownIoq3", RconReplyStatus::Answered,
                         "Unknown command \"pb_sv_kick\"\n", ServerOutcome::Failed,
                         "Bad reply: Unknown command \"pb_sv_kick\""},
        ActionResultCase{"UnknownLower", RconReplyStatus::Answered,
                         "unknown command: tempban\nmore\n", ServerOutcome::Failed,
                         "Bad reply: unknown command: tempban"},
        ActionResultCase{"MentionsUnknownLater", RconReplyStatus::Answered,
                         "kicked; unknown command count 0\n", ServerOutcome::Done,
                         "kicked; unknown command count 0"},
        ActionResultCase{"BadPassword", RconReplyStatus::BadPassword, "Bad rconpassword.\n",
                         ServerOutcome::Refused, "Invalid RCON password"},
        ActionResultCase{"NoReply", RconReplyStatus::NoReply, "", ServerOutcome::Failed,
                         "No reply"}),
    [](const testing::TestParamInfo<ActionResultCase>& info) { return info.param.name; });

} // namespace
