// The ban states on both engines: every transition of one GUID's state
// against a clock the test moves, what each change writes, and the lists.
#include "BanStates.h"

#include "DatabaseSuite.h"
#include "SchemaSteps.h"
#include "SchemaUpgrade.h"
#include "SqlPlayerLookup.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kStart = 1075665909; // 2004-02-01T20:05:09Z
constexpr std::int64_t kHour = 3600;

enum class Op { Ban, TempBan, Lift, Extend, Check };

// One change (or only a look: Check), `after` seconds past the previous one,
// and what it must leave: the outcome, and the active state's expiry in
// seconds from kStart (-1: permanent; 0: none active).
struct Step {
    std::int64_t after;
    Op op;
    long long minutes;
    BanChangeOutcome outcome;
    std::int64_t activeUntil;
};

struct Transition {
    const char* name;
    std::vector<Step> steps;
    // The end causes of the GUID's states, newest first ("open" for none).
    std::vector<std::string> ends;
    int records; // ban records written, one a change that changed something
};

void PrintTo(const Transition& transition, std::ostream* out) {
    *out << transition.name;
}

using Out = BanChangeOutcome;

const Transition kTransitions[] = {
    {"TempThenPermanent",
     {{0, Op::TempBan, 60, Out::Banned, kHour}, {60, Op::Ban, 0, Out::Replaced, -1}},
     {"open", "replaced"},
     2},
    {"PermanentThenTempLeavesItPermanent",
     {{0, Op::Ban, 0, Out::Banned, -1},
      {60, Op::TempBan, 60, Out::Unchanged, -1},
      {60, Op::Ban, 0, Out::Unchanged, -1}},
     {"open"},
     1},
    {"TempBanRunsOutByTheClockAlone",
     {{0, Op::TempBan, 60, Out::Banned, kHour},
      {kHour - 1, Op::Check, 0, Out::Unchanged, kHour},
      {1, Op::Check, 0, Out::Unchanged, 0},
      {0, Op::Lift, 0, Out::NotBanned, 0}},
     {"open"},
     1},
    {"RebanAfterExpiryClosesTheOldStateAtItsExpiry",
     {{0, Op::TempBan, 60, Out::Banned, kHour},
      {2 * kHour, Op::TempBan, 30, Out::Banned, 2 * kHour + 1800}},
     {"open", "expired"},
     2},
    {"LiftThenRebanThenLiftAgain",
     {{0, Op::Ban, 0, Out::Banned, -1},
      {10, Op::Lift, 0, Out::Lifted, 0},
      {10, Op::Lift, 0, Out::NotBanned, 0},
      {10, Op::Ban, 0, Out::Banned, -1}},
     {"open", "lifted"},
     3},
    {"ShorterTempBanStandsBackLongerReplaces",
     {{0, Op::TempBan, 60, Out::Banned, kHour},
      {0, Op::TempBan, 30, Out::Unchanged, kHour},
      {0, Op::TempBan, 120, Out::Replaced, 2 * kHour}},
     {"open", "replaced"},
     2},
    {"ExtendMovesTheExpiryLater",
     {{0, Op::TempBan, 60, Out::Banned, kHour},
      {600, Op::Extend, 30, Out::Extended, kHour + 1800},
      {0, Op::Ban, 0, Out::Replaced, -1},
      {0, Op::Extend, 30, Out::Unchanged, -1}},
     {"open", "replaced", "replaced"},
     3},
    {"NothingToLiftOrExtend",
     {{0, Op::Lift, 0, Out::NotBanned, 0}, {0, Op::Extend, 10, Out::NotBanned, 0}},
     {},
     0},
};

class BanStateTransitions : public ::testing::TestWithParam<std::tuple<TestEngine, Transition>> {
protected:
    void SetUp() override {
        scratch_.emplace(std::get<0>(GetParam()));
        if (!scratch_->skipReason().empty()) {
            GTEST_SKIP() << scratch_->skipReason();
        }
        scratch_->Create();
    }
    std::optional<ScratchDatabase> scratch_;
};

TEST_P(BanStateTransitions, LeaveOneConsistentState) {
    const Transition& transition = std::get<1>(GetParam());
    auto now = std::make_shared<std::int64_t>(kStart);
    BanStates states(scratch_->location(), "alice", [now] { return BanTime{*now, 3600}; });
    const BanRequest request{kGuidA, "wall hack", "^1Bad", "10.0.0.7"};
    for (std::size_t i = 0; i < transition.steps.size(); ++i) {
        const Step& step = transition.steps[i];
        *now += step.after;
        BanChange change{step.outcome, states.Active(kGuidA), {}, {}};
        switch (step.op) {
        case Op::Ban:
            change = states.Ban(request);
            break;
        case Op::TempBan:
            change = states.TempBan(request, step.minutes);
            break;
        case Op::Lift:
            change = states.Lift(kGuidA, "appeal");
            break;
        case Op::Extend:
            change = states.Extend(kGuidA, step.minutes, "");
            break;
        case Op::Check:
            break;
        }
        SCOPED_TRACE("step " + std::to_string(i) + ": " + change.text);
        EXPECT_EQ(change.outcome, step.outcome);
        const auto active = states.Active(kGuidA);
        ASSERT_EQ(active.has_value(), step.activeUntil != 0);
        if (active) {
            EXPECT_EQ(active->expiry, step.activeUntil < 0
                                          ? std::nullopt
                                          : std::optional<std::int64_t>(kStart + step.activeUntil));
            EXPECT_EQ(active->key, change.state ? change.state->key : -1);
        }
    }
    std::vector<std::string> ends;
    for (const BanState& state : states.History(kGuidA)) {
        ends.push_back(state.endCause ? BanEndWord(*state.endCause) : "open");
    }
    EXPECT_EQ(ends, transition.ends);
    EXPECT_EQ(scratch_->QueryText(R"(SELECT COUNT(*) FROM "Ban_Records" WHERE "Server_Name" = '')"),
              std::to_string(transition.records));
}

INSTANTIATE_TEST_SUITE_P(
    Engines, BanStateTransitions,
    ::testing::Combine(::testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                       ::testing::ValuesIn(kTransitions)),
    [](const ::testing::TestParamInfo<std::tuple<TestEngine, Transition>>& info) {
        return EngineName(std::get<0>(info.param)) + std::get<1>(info.param).name;
    });

class BanStatesSuite : public DatabaseSuite {
protected:
    BanStates States(const std::string& admin = "alice", std::int64_t at = kStart) {
        return BanStates(scratch().location(), admin, [at] { return BanTime{at, 3600}; });
    }
};

TEST_P(BanStatesSuite, AChangeKeepsItsRecordAndTheGuidInTheSameTransaction) {
    BanStates states = States();
    const BanChange change =
        states.TempBan({"0123456789abcdef0123456789abcdef", "aim", "Bob", "1.2.3.4"}, 90);
    EXPECT_EQ(change.text, "Banned until 2004-02-01T22:35:09+01:00 (90 minutes)");
    ASSERT_TRUE(change.state);
    EXPECT_EQ(change.state->guid, kGuidA); // kept in upper case
    EXPECT_EQ(change.state->startTime, "2004-02-01T21:05:09+01:00");
    // The GUID the database never saw is added once, in the case logs write.
    EXPECT_EQ(scratch().QueryColumn(R"(SELECT "GUID" FROM "GUID")"),
              std::vector<std::string>{kGuidA});
    states.Lift(kGuidA, "");
    states.Ban({kGuidA, "again", "", ""});
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "GUID")"), "1");

    SqlPlayerLookup lookup(scratch().location());
    lookup.Open();
    const std::vector<BanRecord> records = lookup.BanHistory(kGuidA, -1);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2], (BanRecord{"2004-02-01T21:05:09+01:00", "ban", kGuidA, "Bob", "1.2.3.4",
                                     "aim", "", change.text, "alice", 90}));
    EXPECT_EQ(records[1].action, "unban");
    EXPECT_EQ(records[1].result, "Ban lifted");
    EXPECT_EQ(records[1].minutes, std::nullopt);
    EXPECT_EQ(records[0].minutes, std::nullopt); // a permanent ban
    EXPECT_EQ(BanRecordLine(records[2]),
              "2004-02-01T21:05:09+01:00  temp-ban 90 min for all servers by alice: Banned until "
              "2004-02-01T22:35:09+01:00 (90 minutes) (reason: aim)");
}

TEST_P(BanStatesSuite, WhatIsNoGuidIsRefusedAndNothingIsWritten) {
    BanStates states = States();
    for (const std::string& guid : {std::string(), std::string("0123"), std::string(kGuidA) + "0",
                                    std::string("0123456789ABCDEF0123456789ABCDEZ")}) {
        const BanChange change = states.Ban({guid, "r", "", ""});
        EXPECT_EQ(change.outcome, BanChangeOutcome::Refused) << guid;
        EXPECT_EQ(change.text, "Not kept: the GUID must be exactly 32 hexadecimal digits.");
        EXPECT_FALSE(states.Active(guid));
    }
    EXPECT_EQ(states.TempBan({kGuidA, "r", "", ""}, 0).outcome, BanChangeOutcome::Refused);
    EXPECT_EQ(states.TempBan({kGuidA, "r", "", ""}, kMaxBanMinutes + 1).outcome,
              BanChangeOutcome::Refused);
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "Ban_States")"), "0");
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "GUID")"), "0");
}

TEST_P(BanStatesSuite, TheSchemaRefusesASecondOpenStateOfAGuid) {
    States().Ban({kGuidA, "r", "", ""});
    EXPECT_ANY_THROW(scratch().Execute(
        R"(INSERT INTO "Ban_States" ("GUID", "Kind", "Start_Epoch", "Start_Time", "Player_Name", )"
        R"("Reason", "Issued_By") SELECT "GUID", 'permanent', 1, 't', '', '', 'x' )"
        R"(FROM "Ban_States")"));
}

TEST_P(BanStatesSuite, ListsFilterByActivityGuidNameAndAdmin) {
    {
        auto database = OpenDatabase();
        database->BeginStep();
        database->InsertSighting(Sighting(database->AddGuid(kGuidB), "1.2.3.4", "Zoe", "^2Zoe"));
        database->CommitStep();
        database->Close();
    }
    States("alice", kStart).Ban({kGuidA, "a", "Bob", ""});
    States("carol", kStart + 10).TempBan({kGuidB, "b", "", ""}, 1);
    States("dave", kStart + 20).Lift(kGuidA, "sorry");
    const auto guids = [this](const BanStateFilter& filter, std::int64_t at = kStart + 30) {
        std::vector<std::string> found;
        for (const BanState& state : States("x", at).List(filter)) {
            found.push_back(state.guid.substr(0, 2) + (state.ActiveAt(at) ? "+" : "-"));
        }
        return found;
    };
    EXPECT_EQ(guids({}), (std::vector<std::string>{"FE+", "01-"}));
    EXPECT_EQ(guids({true, {}, {}, {}, -1}), std::vector<std::string>{"FE+"});
    EXPECT_EQ(guids({true, {}, {}, {}, -1}, kStart + 70), std::vector<std::string>{});
    EXPECT_EQ(guids({false, "fedcba9876543210fedcba9876543210", {}, {}, -1}),
              std::vector<std::string>{"FE+"});
    EXPECT_EQ(guids({false, {}, "zO", {}, -1}), std::vector<std::string>{"FE+"});   // seen as Zoe
    EXPECT_EQ(guids({false, {}, "bob", {}, -1}), std::vector<std::string>{"01-"});  // banned as Bob
    EXPECT_EQ(guids({false, {}, {}, "dave", -1}), std::vector<std::string>{"01-"}); // lifted it
    EXPECT_EQ(guids({false, {}, {}, "carol", -1}), std::vector<std::string>{"FE+"});
    EXPECT_EQ(guids({false, {}, {}, {}, 1}), std::vector<std::string>{"FE+"});

    const BanState lifted = States().History(kGuidA).at(0);
    EXPECT_EQ(BanStateLine(lifted, kStart + 30),
              std::string(kGuidA) + "  ban lifted 2004-02-01T21:05:29+01:00 by dave (sorry)  since "
                                    "2004-02-01T21:05:09+01:00 by alice  name: Bob  reason: a");
}

TEST_P(BanStatesSuite, TheVersionBeforeIsUpgradedAtTheFirstChangeKeepingEveryRow) {
    States().Ban({kGuidA, "r", "", ""});
    scratch().Execute(R"(DROP TABLE "Ban_States")");
    scratch().Execute(R"(DELETE FROM "Quarvel_Schema" WHERE "Version" = 5)");
    const std::string before =
        scratch().QueryText(R"(SELECT MAX("Version") FROM "Quarvel_Schema")");
    ASSERT_EQ(before, std::to_string(SchemaSteps()[SchemaSteps().size() - 2].version));
    // Read as holding no state, and left as it is.
    BanStates reader = States();
    EXPECT_FALSE(reader.Active(kGuidA));
    EXPECT_TRUE(reader.List({}).empty());
    EXPECT_EQ(scratch().QueryText(R"(SELECT MAX("Version") FROM "Quarvel_Schema")"), before);
    EXPECT_EQ(States().Ban({kGuidA, "r", "", ""}).outcome, BanChangeOutcome::Banned);
    // The reader, whose connection stayed open, finds the state made since.
    EXPECT_TRUE(reader.Active(kGuidA));
    EXPECT_EQ(scratch().QueryText(R"(SELECT MAX("Version") FROM "Quarvel_Schema")"),
              std::to_string(LatestSchemaVersion()));
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "Ban_Records")"), "2");
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(BanStatesSuite);

} // namespace
