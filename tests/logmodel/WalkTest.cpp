#include "ClassifiedLog.h"
#include "RecordingPlayerDatabase.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> PlainLines(int count) {
    return std::vector<std::string>(static_cast<std::size_t>(count), "plain");
}

struct WalkCase {
    const char* name;
    int lines;
    int askedSteps;
    int plannedSteps;
    int linesPerStep;
    int stepsTaken;
};

void PrintTo(const WalkCase& c, std::ostream* os) {
    *os << c.name;
}

class WalkArithmetic : public testing::TestWithParam<WalkCase> {};

TEST_P(WalkArithmetic, StepsCoverEveryLineOnce) {
    const WalkCase& c = GetParam();
    ClassifiedLog log(PlainLines(c.lines));
    ASSERT_EQ(log.model.lineCount(), c.lines);
    EXPECT_EQ(log.model.BeginWalk(c.askedSteps, WalkMode::Classify), c.plannedSteps);
    EXPECT_EQ(log.model.linesPerStep(), c.linesPerStep);
    int last = 0;
    int step = 0;
    while ((step = log.model.WalkStep()) >= 0) {
        EXPECT_EQ(step, last + 1);
        EXPECT_EQ(log.model.nextLine(), std::min(c.lines, step * c.linesPerStep));
        last = step;
    }
    EXPECT_EQ(last, c.stepsTaken);
    EXPECT_EQ(log.model.WalkStep(), -1); // and stays done
    log.model.EndWalk();
    for (int i = 0; i < c.lines; ++i) {
        ASSERT_EQ(SegmentCount(log.model.Line(i)), 1) << i;
        ASSERT_EQ(KindNumber(log.model.Line(i).segments[0].kind()), 1) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Logs, WalkArithmetic,
    testing::Values(WalkCase{"EmptyLog", 0, -1, 100, 1, 0}, WalkCase{"OneLine", 1, -1, 100, 1, 1},
                    WalkCase{"TwoHundredFiftyInHundredSteps", 250, 100, 100, 3, 84},
                    WalkCase{"TwoHundredFiftyDefault", 250, -1, 100, 3, 84},
                    WalkCase{"ExactMultiple", 300, 100, 100, 3, 100},
                    WalkCase{"OneStep", 7, 1, 1, 7, 1},
                    WalkCase{"MoreStepsThanLines", 5, 10, 10, 1, 5},
                    WalkCase{"ZeroStepsAsksForTheDefault", 250, 0, 100, 3, 84},
                    WalkCase{"ThousandthOfALargeLog", 150000, -1, 150, 1000, 150},
                    WalkCase{"LargeLogRoundsUp", 100500, -1, 100, 1005, 100}),
    [](const testing::TestParamInfo<WalkCase>& info) { return info.param.name; });

TEST(Walk, AFileThatDoesNotLoadWalksNothing) {
    LogModel model;
    model.Load("/nonexistent/quarvel/missing.log");
    EXPECT_EQ(model.BeginWalk(-1, WalkMode::Classify), 100);
    EXPECT_EQ(model.WalkStep(), -1);
    model.EndWalk();
}

TEST(Walk, HarvestModeLastsUntilEndWalk) {
    ClassifiedLog log(PlainLines(10));
    log.model.SetPlayerDatabase(std::make_unique<RecordingPlayerDatabase>());
    EXPECT_FALSE(log.model.harvestMode());
    log.model.BeginWalk(-1, WalkMode::Harvest);
    EXPECT_TRUE(log.model.harvestMode());
    int steps = 0;
    while (log.model.WalkStep() >= 0) {
        ++steps;
    }
    EXPECT_EQ(steps, 10);
    EXPECT_TRUE(log.model.harvestMode());
    log.model.EndWalk();
    EXPECT_FALSE(log.model.harvestMode());
    log.model.BeginWalk(-1, WalkMode::Classify);
    EXPECT_FALSE(log.model.harvestMode());
}

TEST(Walk, ALogIsClassifiedOnceWhoeverWalksIt) {
    const std::string guid(kGuidA);
    ClassifiedLog log({EventLine("say: Bob: early"),
                       EventLine("ClientConnect: 0 - 10.0.0.1:1 [" + guid + "]"),
                       EventLine(R"(ClientUserinfoChanged: 0 n\Bob\t\2\)"),
                       EventLine(R"(ClientUserinfoChanged: 0 n\Bob\t\2\)")});
    log.Walk();
    // The chat line comes before anyone is in a slot.
    const std::vector<SegmentText> early{{2, "say"}, {0, "Bob"}, {15, "early"}};
    EXPECT_EQ(SegmentTexts(log.Line(0)), early);
    EXPECT_EQ(log.model.classifiedCount(), 4);
    const ConnectionRecord* record = log.model.playerSlots().Slot(0).connection;

    // A second view's walk finds nothing left to classify: the chat line
    // does not pick up the player who connects after it, and no connection
    // is recorded twice.
    EXPECT_EQ(log.model.BeginWalk(-1, WalkMode::Classify), 100);
    EXPECT_EQ(log.model.WalkStep(), -1);
    log.model.EndWalk();
    EXPECT_EQ(SegmentTexts(log.Line(0)), early);
    EXPECT_EQ(log.Line(0).segments[1].player, nullptr);
    EXPECT_EQ(log.model.playerSlots().connectionCount(), 1);
    EXPECT_EQ(log.model.playerSlots().Slot(0).connection, record);
    EXPECT_EQ(log.Line(2).segments[2].player, record);
    const auto* aliases = log.model.guidTable().Aliases(guid);
    ASSERT_NE(aliases, nullptr);
    EXPECT_EQ(std::distance(aliases->begin(), aliases->end()), 1);
}

TEST(Walk, LinesNotClassifiedYetArePlain) {
    ClassifiedLog log({EventLine("say: Bob: hi"), EventLine("Kill: 1 2 3: a killed b by c")});
    EXPECT_EQ(log.model.classifiedCount(), 0);
    EXPECT_EQ(SegmentTexts(log.Line(0)),
              (std::vector<SegmentText>{{1, std::string(log.Line(0).Text())}}));
    log.model.ClassifyUpTo(1);
    EXPECT_TRUE(log.model.IsClassified(0));
    EXPECT_FALSE(log.model.IsClassified(1));
    EXPECT_EQ(SegmentCount(log.Line(0)), 3);
    EXPECT_EQ(SegmentCount(log.Line(1)), 1);
    // A walk takes on from there.
    log.Walk();
    EXPECT_EQ(SegmentCount(log.Line(1)), 7);
}

} // namespace
