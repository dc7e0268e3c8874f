#include "AliasesLookup.h"
#include "DatabaseSuite.h"
#include "DatabaseUpdateRun.h"
#include "HarvestLog.h"
#include "RefusedName.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

// The database update run, as both faces make it, on each engine.
namespace {

// What a face would have shown, and a Stop after a given step.
class RecordedProgress final : public DatabaseUpdateProgress {
public:
    explicit RecordedProgress(int stopAfter = 0) : stopAfter_(stopAfter) {}

    void Begin(int plannedSteps) override { planned = plannedSteps; }
    bool StepDone(int stepsDone, const HarvestCounters& counters) override {
        steps.push_back(stepsDone);
        shown.push_back(counters);
        if (onStep) {
            onStep(stepsDone);
        }
        return stopAfter_ == 0 || stepsDone < stopAfter_;
    }

    std::function<void(int)> onStep; // what happens meanwhile
    int planned = -1;
    std::vector<int> steps;
    std::vector<HarvestCounters> shown;

private:
    int stopAfter_;
};

class HarvestRun : public DatabaseSuite {
protected:
    DatabaseUpdateOutcome Harvest(HarvestLog& log, int stopAfter = 0) {
        RecordedProgress progress(stopAfter);
        return Harvest(log, progress);
    }

    DatabaseUpdateOutcome Harvest(HarvestLog& log, RecordedProgress& progress) {
        log.model.SetPlayerDatabase(NewDatabase());
        return RunHarvestWalk(log.model, progress);
    }

    // Every Players row as "key address formatted-name raw-name", oldest first.
    std::vector<std::string> PlayerRows() {
        return scratch().QueryColumn(
            R"(SELECT "Guid_Key" || ' ' || "IP_Full" || ' ' || "Player_Name_formated" || ' ' || )"
            R"("Player_Name" FROM "Players" ORDER BY "Player_key")");
    }

    std::vector<std::string> Guids() {
        return scratch().QueryColumn(R"(SELECT "GUID" FROM "GUID" ORDER BY "Guid_Key")");
    }
};

using Texts = std::vector<std::string>;
using End = DatabaseUpdateOutcome::End;

TEST_P(HarvestRun, StoresGuidsAndSightingsAndCountsThem) {
    HarvestLog log({ConnectLine(0, "192.168.0.7", kGuidA), UserinfoLine(0, "^1Bob"),
                    ConnectLine(1, "10.0.0.1", kGuidB), UserinfoLine(1, "Rob")});
    const DatabaseUpdateOutcome outcome = Harvest(log);
    EXPECT_EQ(outcome.end, End::AllLines);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(outcome.counters, (HarvestCounters{2, 2, 2, 2}));
    EXPECT_EQ(Guids(), (Texts{kGuidA, kGuidB}));
    EXPECT_EQ(PlayerRows(), (Texts{"1 192.168.0.7 Bob ^1Bob", "2 10.0.0.1 Rob Rob"}));
    EXPECT_EQ(scratch().QueryColumn(
                  R"(SELECT "IP_part1" || '|' || "IP_part2" || '|' || "IP_part3" || '|' || )"
                  R"("IP_part4" || ' ' || CAST("Rec_Created" AS TEXT) || ' ' || )"
                  R"(CAST("Rec_Modified" AS TEXT) FROM "Players" ORDER BY "Player_key")"),
              (Texts{"192|168|0|7 2004-02-01 2004-02-01", "10|0|0|1 2004-02-01 2004-02-01"}));
}

TEST_P(HarvestRun, ASecondRunAddsNothing) {
    HarvestLog log({ConnectLine(0, "192.168.0.7", kGuidA), UserinfoLine(0, "^1Bob"),
                    UserinfoLine(0, "\xE9lan"), ConnectLine(1, "10.0.0.1", kGuidB),
                    UserinfoLine(1, "Rob")});
    Harvest(log);
    const Texts first = PlayerRows();
    const DatabaseUpdateOutcome second = Harvest(log);
    EXPECT_EQ(second.end, End::AllLines);
    EXPECT_EQ(second.counters, (HarvestCounters{0, 2, 0, 3}));
    EXPECT_EQ(PlayerRows(), first);
    EXPECT_EQ(first.at(1), "1 192.168.0.7 \xC3\xA9lan \xC3\xA9lan"); // stored as text
}

TEST_P(HarvestRun, AColourVariantAddsNothingANewNameOrAddressDoes) {
    HarvestLog log({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "^1Bob"),
                    UserinfoLine(0, "^4Bob"), UserinfoLine(0, "Rob"),
                    ConnectLine(0, "1.2.3.5", kGuidA), UserinfoLine(0, "^7Bob")});
    const DatabaseUpdateOutcome outcome = Harvest(log);
    EXPECT_EQ(outcome.counters, (HarvestCounters{1, 1, 3, 3}));
    EXPECT_EQ(PlayerRows(),
              (Texts{"1 1.2.3.4 Bob ^1Bob", "1 1.2.3.4 Rob Rob", "1 1.2.3.5 Bob ^7Bob"}));
}

TEST_P(HarvestRun, NamesWithQuotesAndBarsRoundTrip) {
    const Texts names = {"O'Neil|x", "''|'|''", "a|b||c\"d", "x'); DROP TABLE \"Players\";--"};
    std::vector<std::string> lines = {ConnectLine(0, "1.2.3.4", kGuidA)};
    for (const std::string& name : names) {
        lines.push_back(UserinfoLine(0, "^3" + name));
    }
    HarvestLog log(lines);
    EXPECT_EQ(Harvest(log).counters.playersNew, 4);
    EXPECT_EQ(scratch().QueryColumn(
                  R"(SELECT "Player_Name_formated" FROM "Players" ORDER BY "Player_key")"),
              names);
    EXPECT_EQ(scratch().QueryText(R"(SELECT "Player_Name" FROM "Players" ORDER BY "Player_key")"),
              "^3O'Neil|x");
    // The duplicate test finds every one of them again.
    EXPECT_EQ(Harvest(log).counters.playersNew, 0);
    EXPECT_EQ(PlayerRows().size(), 4u);
}

TEST_P(HarvestRun, WalksTwoHundredFiftyLinesInEightyFourStepsOfThree) {
    HarvestLog log(WithFiller({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "Bob")}, 248));
    ASSERT_EQ(log.model.lineCount(), 250);
    RecordedProgress progress;
    const DatabaseUpdateOutcome outcome = Harvest(log, progress);
    EXPECT_EQ(outcome.end, End::AllLines);
    EXPECT_EQ(progress.planned, 100);
    ASSERT_EQ(progress.steps.size(), 84u);
    EXPECT_EQ(progress.steps.front(), 1);
    EXPECT_EQ(progress.steps.back(), 84);
    EXPECT_EQ(log.model.linesPerStep(), 3);
    EXPECT_EQ(progress.shown.front(), (HarvestCounters{1, 1, 1, 1}));
}

TEST_P(HarvestRun, AnEmptyLogEndsAtOnceWithTheTablesCounted) {
    HarvestLog filled({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "Bob")});
    Harvest(filled);
    HarvestLog empty({});
    RecordedProgress progress;
    const DatabaseUpdateOutcome outcome = Harvest(empty, progress);
    EXPECT_EQ(outcome.end, End::AllLines);
    EXPECT_TRUE(progress.steps.empty());
    EXPECT_EQ(outcome.counters, (HarvestCounters{0, 1, 0, 1}));
}

TEST_P(HarvestRun, StopAfterAStepKeepsThatStepsRows) {
    // Three lines a step: Bob is in the first step, Rob in the second.
    HarvestLog log(WithFiller({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "Bob"),
                               "  12:34 say: Bob: hi", UserinfoLine(0, "Rob")},
                              246));
    RecordedProgress progress(1);
    const DatabaseUpdateOutcome stopped = Harvest(log, progress);
    EXPECT_EQ(stopped.end, End::Stopped);
    EXPECT_FALSE(stopped.failure);
    EXPECT_EQ(progress.steps, std::vector<int>{1});
    EXPECT_EQ(PlayerRows(), Texts{"1 1.2.3.4 Bob Bob"});
    // The next run starts again from the first line.
    const DatabaseUpdateOutcome next = Harvest(log);
    EXPECT_EQ(next.counters, (HarvestCounters{0, 1, 1, 2}));
    EXPECT_EQ(PlayerRows(), (Texts{"1 1.2.3.4 Bob Bob", "1 1.2.3.4 Rob Rob"}));
}

TEST_P(HarvestRun, ARefusedRowEndsTheRunAndKeepsWhatCameBeforeIt) {
    RefuseBoom(scratch(), GetParam());
    // Four lines a step: all four events are in the first.
    HarvestLog log(WithFiller({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "Bob"),
                               UserinfoLine(0, "Boom"), UserinfoLine(0, "Rob")},
                              300));
    ASSERT_EQ(log.model.BeginWalk(-1, WalkMode::Classify), 100);
    ASSERT_EQ(log.model.linesPerStep(), 4);
    log.model.EndWalk();
    RecordedProgress progress;
    const DatabaseUpdateOutcome outcome = Harvest(log, progress);
    EXPECT_EQ(outcome.end, End::Failed);
    ASSERT_TRUE(outcome.failure);
    EXPECT_NE(outcome.failure->text.find("Boom is refused"), std::string::npos)
        << outcome.failure->text;
    EXPECT_EQ(outcome.failure->caption, "Quarvel");
    EXPECT_EQ(outcome.failure->icon, MessageIcon::None);
    EXPECT_TRUE(progress.steps.empty()); // the first step did not finish
    EXPECT_EQ(Guids(), Texts{kGuidA});
    EXPECT_EQ(PlayerRows(), Texts{"1 1.2.3.4 Bob Bob"});
    EXPECT_EQ(outcome.counters, (HarvestCounters{1, 1, 1, 1}));
    EXPECT_FALSE(log.model.harvestMode());
}

TEST_P(HarvestRun, ATableGoneDuringTheRunIsReportedAndEarlierRowsAreKept) {
    // Three lines a step: the second step adds GUID B, then fails on Players.
    HarvestLog log(WithFiller({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "Bob"),
                               "  12:34 say: Bob: hi", ConnectLine(1, "5.6.7.8", kGuidB),
                               UserinfoLine(1, "Rob")},
                              245));
    RecordedProgress progress;
    progress.onStep = [this](int step) {
        if (step == 1) {
            scratch().Execute(R"(DROP TABLE "Players")");
        }
    };
    const DatabaseUpdateOutcome outcome = Harvest(log, progress);
    EXPECT_EQ(outcome.end, End::Failed);
    ASSERT_TRUE(outcome.failure);
    EXPECT_NE(outcome.failure->text.find("Players"), std::string::npos) << outcome.failure->text;
    EXPECT_EQ(outcome.failure->caption, "Quarvel");
    EXPECT_EQ(progress.steps, std::vector<int>{1});
    EXPECT_EQ(Guids(), (Texts{kGuidA, kGuidB}));
    EXPECT_EQ(outcome.counters, (HarvestCounters{2, 2, 1, 1}));
}

TEST_P(HarvestRun, AMissingTableFailsTheRunAtItsStart) {
    scratch().Execute(R"(DROP TABLE "Players")");
    HarvestLog log({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "Bob")});
    RecordedProgress progress;
    const DatabaseUpdateOutcome outcome = Harvest(log, progress);
    EXPECT_EQ(outcome.end, End::Failed);
    ASSERT_TRUE(outcome.failure);
    EXPECT_NE(outcome.failure->text.find("Players"), std::string::npos) << outcome.failure->text;
    EXPECT_EQ(progress.planned, -1);
    EXPECT_TRUE(Guids().empty());
    EXPECT_FALSE(log.model.harvestMode());
}

TEST_P(HarvestRun, AMissingFileIsReportedAndNotMade) {
    if (GetParam() != TestEngine::Sqlite) {
        GTEST_SKIP() << "a database file is SQLite's";
    }
    std::filesystem::remove(scratch().location());
    HarvestLog log({ConnectLine(0, "1.2.3.4", kGuidA)});
    const DatabaseUpdateOutcome outcome = Harvest(log);
    EXPECT_EQ(outcome.end, End::Failed);
    ASSERT_TRUE(outcome.failure);
    EXPECT_NE(outcome.failure->text.find("does not exist"), std::string::npos)
        << outcome.failure->text;
    EXPECT_FALSE(std::filesystem::exists(scratch().location()));
}

TEST_P(HarvestRun, AliasesOfAGuidFromSeveralLogsAreListedOnce) {
    HarvestLog first({ConnectLine(0, "1.2.3.4", kGuidA), UserinfoLine(0, "^1Zed"),
                      UserinfoLine(0, "Bob"), ConnectLine(1, "1.2.3.9", kGuidB),
                      UserinfoLine(1, "Other")});
    HarvestLog second({ConnectLine(5, "10.0.0.1", kGuidA), UserinfoLine(5, "^2Bob"),
                       UserinfoLine(5, "O'Neil|x"), UserinfoLine(5, "Zed")});
    Harvest(first);
    Harvest(second);
    auto database = NewDatabase();
    const AliasesLookup lookup = LookUpAliases(*database, kGuidA);
    EXPECT_FALSE(lookup.message);
    EXPECT_EQ(lookup.names, (Texts{"Bob", "O'Neil|x", "Zed"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, HarvestRun,
                         ::testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                         [](const ::testing::TestParamInfo<TestEngine>& info) {
                             return EngineName(info.param);
                         });

} // namespace
