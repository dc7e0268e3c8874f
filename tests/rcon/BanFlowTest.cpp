#include "BanFlow.h"

#include "FakeGameServer.h"
#include "FlowToEnd.h"
#include "MessageRecorder.h"
#include "TestApplication.h"

#include <deque>
#include <gtest/gtest.h>

namespace {

const std::string kGuid = "00112233445566778899aabbccddeeff";
const std::string kBanFailed =
    "Ban failed\nUsually this happens if the\nsupplied GUID is already banned";
const std::string kUnbanFailed =
    "Unban failed\nUsually this happens if the\nsupplied GUID is not banned";

// Answers the reason prompts from a list; nothing in it cancels.
class ScriptedReasons : public BanReasonSource {
public:
    explicit ScriptedReasons(std::deque<std::optional<std::string>> answers)
        : answers_(std::move(answers)) {}

    void AskReason(const std::string& prompt, Answer answer) override {
        prompts.push_back(prompt);
        if (answers_.empty()) {
            answer(std::nullopt);
            return;
        }
        auto reason = answers_.front();
        answers_.pop_front();
        answer(reason);
    }

    std::vector<std::string> prompts;

private:
    std::deque<std::optional<std::string>> answers_;
};

struct Outcome {
    std::string server;
    ServerOutcome outcome;
    std::string text;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << "{" << o.server << ", " << static_cast<int>(o.outcome) << ", \"" << o.text << "\"}";
}

std::vector<Outcome> Outcomes(const std::vector<ServerResult>& results) {
    std::vector<Outcome> outcomes;
    for (const ServerResult& r : results) {
        outcomes.push_back({r.server, r.outcome, r.message.text});
    }
    return outcomes;
}

// Three fake servers, configured in the list order Alpha, Bravo, Charlie.
class Flow : public testing::Test {
protected:
    std::forward_list<ServerEntry> Servers() const {
        return {{"Alpha", "127.0.0.1", alpha.port(), "a-pass"},
                {"Bravo", "localhost", bravo.port(), "b-pass"},
                {"Charlie", "127.0.0.1", charlie.port(), "c-pass"}};
    }

    TestApplication app;
    FakeGameServer alpha{"a-pass"}, bravo{"b-pass"}, charlie{"c-pass"};
    MessageRecorder sink;
    const BanTarget target{kGuid, "10.0.0.7", "^1Bad^7\"Guy\""};
};

TEST_F(Flow, BanGoesToEveryServerInListOrderPastASilentOne) {
    bravo.StaySilent();
    charlie.AddBan(kGuid);
    ScriptedReasons reasons({"wall hack", "wall hack", "aimbot"});

    const auto results = BanOnEveryServer(Servers(), target, reasons, sink);

    EXPECT_EQ(reasons.prompts,
              (std::vector<std::string>{"Enter ban reason for Alpha", "Enter ban reason for Bravo",
                                        "Enter ban reason for Charlie"}));
    EXPECT_EQ(Outcomes(results),
              (std::vector<Outcome>{{"Alpha", ServerOutcome::Done, "GUID added to ban list"},
                                    {"Bravo", ServerOutcome::Failed, "No reply"},
                                    {"Charlie", ServerOutcome::Refused, kBanFailed}}));
    EXPECT_EQ(sink.messages,
              (std::vector<Message>{{"GUID added to ban list", "Alpha", MessageIcon::None},
                                    {"No reply", "Bravo", MessageIcon::Error},
                                    {kBanFailed, "Charlie", MessageIcon::Warning}}));
    EXPECT_FALSE(EveryServerDone(results));
    ASSERT_EQ(alpha.received().size(), 1u);
    EXPECT_EQ(alpha.received()[0], "\xFF\xFF\xFF\xFFrcon \"a-pass\" pb_sv_banguid " + kGuid +
                                       " \"^1Bad^7'Guy'\" 10.0.0.7 \"wall hack\"");
    EXPECT_EQ(bravo.received().size(), 1u);
    ASSERT_EQ(charlie.received().size(), 1u);
    EXPECT_NE(charlie.received()[0].find("\"aimbot\""), std::string::npos);
    EXPECT_TRUE(alpha.IsBanned(kGuid));
}

TEST_F(Flow, CancellingAReasonSkipsOnlyThatServer) {
    ScriptedReasons reasons({"r1", std::nullopt, ""});

    const auto results = BanOnEveryServer(Servers(), target, reasons, sink);

    EXPECT_EQ(reasons.prompts.size(), 3u);
    EXPECT_EQ(Outcomes(results),
              (std::vector<Outcome>{{"Alpha", ServerOutcome::Done, "GUID added to ban list"},
                                    {"Bravo", ServerOutcome::Skipped, ""},
                                    {"Charlie", ServerOutcome::Done, "GUID added to ban list"}}));
    EXPECT_EQ(sink.messages.size(), 2u);
    EXPECT_TRUE(bravo.received().empty());
    ASSERT_EQ(charlie.received().size(), 1u);
    EXPECT_TRUE(charlie.received()[0].ends_with(" \"\"")); // the empty reason
}

TEST_F(Flow, UnbanAsksNothingAndTellsEachServersAnswer) {
    alpha.AddBan(kGuid);
    charlie.AddBan(kGuid);

    const auto results = UnbanOnEveryServer(Servers(), kGuid, sink);

    EXPECT_EQ(sink.messages,
              (std::vector<Message>{{"GUID removed from ban list", "Alpha", MessageIcon::None},
                                    {kUnbanFailed, "Bravo", MessageIcon::Warning},
                                    {"GUID removed from ban list", "Charlie", MessageIcon::None}}));
    EXPECT_EQ(results[1].outcome, ServerOutcome::Refused);
    EXPECT_FALSE(alpha.IsBanned(kGuid));
    EXPECT_FALSE(charlie.IsBanned(kGuid));
}

TEST_F(Flow, EveryServerDoneWhenAllCarriedItOut) {
    ScriptedReasons reasons({"a", "b", "c"});
    EXPECT_TRUE(EveryServerDone(BanOnEveryServer(Servers(), target, reasons, sink)));
    EXPECT_TRUE(EveryServerDone(UnbanOnEveryServer(Servers(), kGuid, sink)));
}

TEST_F(Flow, NoServersIsOneWarningAndNoQuestion) {
    ScriptedReasons reasons({"a"});
    EXPECT_TRUE(BanOnEveryServer({}, target, reasons, sink).empty());
    EXPECT_TRUE(UnbanOnEveryServer({}, kGuid, sink).empty());
    EXPECT_TRUE(reasons.prompts.empty());
    const Message warning{"No servers configured", "Warning", MessageIcon::Warning};
    EXPECT_EQ(sink.messages, (std::vector<Message>{warning, warning}));
    EXPECT_FALSE(EveryServerDone({}));
}

TEST_F(Flow, RequestThatMayNotBeSentIsRefusedOnItsServerOnly) {
    auto servers = Servers();
    std::next(servers.begin())->rconpass = "b\"pass";
    ScriptedReasons reasons({"a", "b", "c"});

    const auto results = BanOnEveryServer(servers, target, reasons, sink);

    ASSERT_EQ(sink.messages.size(), 3u);
    EXPECT_EQ(sink.messages[1], (Message{"Not sent: the RCON password of this server holds a "
                                         "double quote or a control character.",
                                         "Bravo", MessageIcon::Warning}));
    EXPECT_EQ(results[1].outcome, ServerOutcome::Failed);
    EXPECT_TRUE(bravo.received().empty());
    EXPECT_EQ(results[0].outcome, ServerOutcome::Done);
    EXPECT_EQ(results[2].outcome, ServerOutcome::Done);
}

// A player without connection data is refused once, before any reason is
// asked, whatever the servers; nothing reaches any of them.
struct MissingConnectionCase {
    const char* name;
    BanTarget target;
    bool unban;
};

void PrintTo(const MissingConnectionCase& c, std::ostream* os) {
    *os << c.name;
}

class FlowWithoutConnection : public Flow,
                              public testing::WithParamInterface<MissingConnectionCase> {};

TEST_P(FlowWithoutConnection, IsRefusedOnceBeforeAnythingIsAskedOrSent) {
    const MissingConnectionCase& c = GetParam();
    ScriptedReasons reasons({"a", "b", "c"});

    const auto results = c.unban ? UnbanOnEveryServer(Servers(), c.target.guid, sink)
                                 : BanOnEveryServer(Servers(), c.target, reasons, sink);

    EXPECT_TRUE(results.empty());
    EXPECT_FALSE(EveryServerDone(results));
    EXPECT_EQ(sink.messages,
              (std::vector<Message>{{"No connection data for this player: nothing was sent",
                                     "Quarvel", MessageIcon::Warning}}));
    EXPECT_TRUE(reasons.prompts.empty());
    EXPECT_TRUE(alpha.received().empty());
    EXPECT_TRUE(bravo.received().empty());
    EXPECT_TRUE(charlie.received().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FlowWithoutConnection,
    testing::Values(
        MissingConnectionCase{
            "BanAsThePlayerInfoWindowFillsIt", {"", "No connection data", "Someone"}, false},
        MissingConnectionCase{"BanWithoutAddress", {kGuid, "", "Someone"}, false},
        MissingConnectionCase{"UnbanWithoutGuid", {"", "No connection data", "Someone"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Flow, WithoutConnectionDataAndWithoutServersOneMessageIsShown) {
    ScriptedReasons reasons({"a"});
    const auto results = BanOnEveryServer({}, {"", "No connection data", "x"}, reasons, sink);
    EXPECT_TRUE(results.empty());
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "No connection data for this player: nothing was sent");
}

TEST_F(Flow, TooLongReasonAsksForAShorterOne) {
    ScriptedReasons reasons({std::string(300, 'x'), "short", std::nullopt});

    const auto results = BanOnEveryServer(Servers(), target, reasons, sink);

    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[0],
              (Message{"Not sent: the ban command is too long for one datagram; please enter a "
                       "shorter reason.",
                       "Alpha", MessageIcon::Warning}));
    EXPECT_TRUE(alpha.received().empty());
    EXPECT_EQ(results[1].outcome, ServerOutcome::Done);
}

TEST_F(Flow, LateReplyIsNotSeenByTheNextServersRequest) {
    // Alpha refuses, but only after the wait gave up on it; Bravo's answer
    // comes later still, so Alpha's late refusal is on the wire while Bravo's
    // request socket waits.
    alpha.AddBan(kGuid);
    alpha.AnswerAfter(std::chrono::milliseconds(1100));
    bravo.AnswerAfter(std::chrono::milliseconds(300));
    ScriptedReasons reasons({"a", "b", "c"});

    const auto results = BanOnEveryServer(Servers(), target, reasons, sink);

    EXPECT_EQ(Outcomes(results),
              (std::vector<Outcome>{{"Alpha", ServerOutcome::Failed, "No reply"},
                                    {"Bravo", ServerOutcome::Done, "GUID added to ban list"},
                                    {"Charlie", ServerOutcome::Done, "GUID added to ban list"}}));
    EXPECT_EQ(alpha.answersSent(), 1);
}

TEST_F(Flow, CaptionsAndPromptsAreTheServerNamesAsText) {
    std::forward_list<ServerEntry> servers{{"Caf\xE9", "127.0.0.1", alpha.port(), "a-pass"}};
    ScriptedReasons reasons({"r"});

    const auto results = BanOnEveryServer(servers, target, reasons, sink);

    EXPECT_EQ(reasons.prompts, (std::vector<std::string>{"Enter ban reason for Caf\u00e9"}));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].caption, "Caf\u00e9");
    EXPECT_EQ(results[0].server, "Caf\xE9");
}

// Keeps what the flows hand on to be recorded, and the messages already
// shown at that moment.
class KeptOutcomes : public ServerOutcomeRecorder {
public:
    explicit KeptOutcomes(const MessageRecorder& sink) : sink_(sink) {}

    struct Kept {
        BanAction action;
        std::string guid, name, ip, reason, server, text;
        std::size_t messagesBefore;
        bool operator==(const Kept&) const = default;
    };

    void Record(const ServerOutcomeRecord& r) override {
        kept.push_back({r.action, r.target.guid, r.target.name, r.target.ip, std::string(r.reason),
                        r.result.server, r.result.message.text, sink_.messages.size()});
    }

    std::vector<Kept> kept;

private:
    const MessageRecorder& sink_;
};

void PrintTo(const KeptOutcomes::Kept& k, std::ostream* os) {
    *os << "{" << static_cast<int>(k.action) << ", " << k.server << ", \"" << k.text << "\", \""
        << k.reason << "\", before " << k.messagesBefore << "}";
}

TEST_F(Flow, EveryAnsweredOrFailedServerIsRecordedBeforeItsMessageAndSkippedOnesAreNot) {
    // Done, skipped, no reply; then refused and a bad password on the unban.
    bravo.StaySilent();
    ScriptedReasons reasons({"wall hack", std::nullopt, "aimbot", "aimbot"});
    KeptOutcomes outcomes(sink);
    auto servers = Servers();
    servers.push_front({"Delta", "127.0.0.1", charlie.port(), "wrong"});

    BanOnEveryServer(servers, target, reasons, sink, &outcomes);
    const BanTarget known{kGuid, "10.0.0.7", "Guy"};
    UnbanOnEveryServer(Servers(), known, sink, &outcomes);

    using K = KeptOutcomes::Kept;
    const std::string name = target.name, ip = target.ip;
    EXPECT_EQ(
        outcomes.kept,
        (std::vector<K>{
            {BanAction::Ban, kGuid, name, ip, "wall hack", "Delta", "Invalid RCON password", 0},
            {BanAction::Ban, kGuid, name, ip, "aimbot", "Bravo", "No reply", 1},
            {BanAction::Ban, kGuid, name, ip, "aimbot", "Charlie", "GUID added to ban list", 2},
            {BanAction::Unban, kGuid, "Guy", "10.0.0.7", "", "Alpha", kUnbanFailed, 3},
            {BanAction::Unban, kGuid, "Guy", "10.0.0.7", "", "Bravo", "No reply", 4},
            {BanAction::Unban, kGuid, "Guy", "10.0.0.7", "", "Charlie",
             "GUID removed from ban list", 5}}));
    EXPECT_EQ(sink.messages.size(), 6u);
}

TEST_F(Flow, UnbanByGuidAloneRecordsNoNameOrAddress) {
    KeptOutcomes outcomes(sink);
    UnbanOnEveryServer(Servers(), kGuid, sink, &outcomes);
    ASSERT_EQ(outcomes.kept.size(), 3u);
    for (const auto& kept : outcomes.kept) {
        EXPECT_EQ(kept.guid, kGuid);
        EXPECT_EQ(kept.name, "");
        EXPECT_EQ(kept.ip, "");
    }
}

TEST_F(Flow, NoServersRecordsNothing) {
    KeptOutcomes outcomes(sink);
    ScriptedReasons reasons({"a"});
    BanOnEveryServer({}, target, reasons, sink, &outcomes);
    UnbanOnEveryServer({}, kGuid, sink, &outcomes);
    EXPECT_TRUE(outcomes.kept.empty());
}

} // namespace
