#include "ClassifiedLog.h"
#include "HarvestMemo.h"
#include "RecordingPlayerDatabase.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

const std::string kGuid(kGuidA);
const std::string kOtherGuid(kGuidB);

std::string Connect(int slot, const std::string& address, const std::string& guid = kGuid) {
    return EventLine("ClientConnect: " + std::to_string(slot) + " - " + address + ":28960 [" +
                     guid + "]");
}

std::string Userinfo(int slot, const std::string& name) {
    return EventLine("ClientUserinfoChanged: " + std::to_string(slot) + " n\\" + name +
                     "\\t\\1\\identity\\NPC_Sam");
}

// A log whose model harvests into a recording database.
class HarvestedLog {
public:
    explicit HarvestedLog(const std::vector<std::string>& lines) : log_(lines) {
        auto database = std::make_unique<RecordingPlayerDatabase>();
        db = database.get();
        model().SetPlayerDatabase(std::move(database));
    }

    LogModel& model() { return log_.model; }

    // One whole run as the faces make it; the walk's own steps.
    void Harvest() { model().WalkAll(WalkMode::Harvest); }

    // The rows stored, as "key ip name-formatted name-raw".
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (const auto& row : db->players) {
            rows.push_back(std::to_string(row.guidKey) + " " + row.ipFull + " " +
                           row.nameFormatted + " " + row.nameRaw);
        }
        return rows;
    }

    RecordingPlayerDatabase* db = nullptr;

private:
    ClassifiedLog log_;
};

using Rows = std::vector<std::string>;

// --- Which lines the harvest takes, and how it reads them -----------------

struct LineCase {
    const char* name;
    std::string line; // harvested after a ClientConnect of slot 0 from 1.2.3.4
    Rows rows;        // the Players rows afterwards
    int guids;        // GUID rows afterwards
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class HarvestLineRules : public testing::TestWithParam<LineCase> {};

TEST_P(HarvestLineRules, StoresWhatTheLineSays) {
    const LineCase& c = GetParam();
    HarvestedLog log({Connect(0, "1.2.3.4"), c.line});
    log.Harvest();
    EXPECT_EQ(log.Rows(), c.rows);
    EXPECT_EQ(static_cast<int>(log.db->guids.size()), c.guids);
}

// A ClientConnect line for slot 1 with a second GUID, cut to `length` bytes
// by its trailing text.
std::string ConnectOfLength(std::size_t length) {
    std::string line = Connect(1, "5.6.7.8", kOtherGuid) + " ";
    line.resize(length, 'x');
    return line;
}

const std::string kBob = "1 1.2.3.4 Bob Bob";

INSTANTIATE_TEST_SUITE_P(
    Lines, HarvestLineRules,
    testing::Values(
        LineCase{"UserinfoStoresASighting", Userinfo(0, "Bob"), {kBob}, 1},
        LineCase{"ColourCodesLeaveTheFormattedName",
                 Userinfo(0, "^1B^^o^7b^"),
                 {"1 1.2.3.4 B^ob ^1B^^o^7b^"},
                 1},
        LineCase{
            "QuotesAndBarsAreKept", Userinfo(0, "O'Neil|x"), {"1 1.2.3.4 O'Neil|x O'Neil|x"}, 1},
        LineCase{"AnEmptyNameIsASighting", Userinfo(0, ""), {"1 1.2.3.4  "}, 1},
        LineCase{"LongestLineIsHarvested", ConnectOfLength(255), {}, 2},
        LineCase{"LongerLineIsSkipped", ConnectOfLength(256), {}, 1},
        LineCase{"ShortLineIsSkipped", "  12:34 :", {}, 1},
        LineCase{"NoColonIsSkipped", EventLine("ClientUserinfoChanged 0 n\\Bob\\t\\1\\"), {}, 1},
        LineCase{"ThePrefixIsNotRead", "ClientConnect: 9 - 9.9.9.9:1 [" + kOtherGuid + "]", {}, 1},
        LineCase{"PayloadStartsTwoBytesAfterTheColon",
                 EventLine("ClientConnect:10 - 5.6.7.8:1 [" + kOtherGuid + "]"),
                 {},
                 2},
        LineCase{"ShortenedKeywordIsAConnect",
                 EventLine("Client: 1 - 5.6.7.8:1 [" + kOtherGuid + "]"),
                 {},
                 2},
        LineCase{
            "EmptyKeywordIsAConnect", EventLine(": 1 - 5.6.7.8:1 [" + kOtherGuid + "]"), {}, 2},
        LineCase{"ShortenedKeywordMeetsConnectFirst", EventLine("Client: 0 n\\Bob\\t\\1\\"), {}, 1},
        LineCase{
            "ShortenedUserinfoKeyword", EventLine("ClientUserinfo: 0 n\\Bob\\t\\1\\"), {kBob}, 1},
        LineCase{"KeywordCaseMatters",
                 EventLine("clientconnect: 1 - 5.6.7.8:1 [" + kOtherGuid + "]"),
                 {},
                 1},
        LineCase{"LongerKeywordIsAnother",
                 EventLine("ClientConnected: 1 - 5.6.7.8:1 [" + kOtherGuid + "]"),
                 {},
                 1},
        LineCase{"OtherEventsAreSkipped", EventLine("say: Bob: ClientConnect: 1"), {}, 1},
        LineCase{"UnmatchedPayloadIsSkipped", EventLine("ClientUserinfoChanged: 0 Bob"), {}, 1},
        LineCase{"LowerCaseGuidIsNoConnect",
                 EventLine("ClientConnect: 1 - 5.6.7.8:1 [0123456789abcdef0123456789abcdef]"),
                 {},
                 1},
        LineCase{"SlotSixtyFourIsSkipped", Userinfo(64, "Bob"), {}, 1},
        LineCase{"SlotWithoutConnectIsSkipped", Userinfo(5, "Bob"), {}, 1},
        LineCase{"HugeSlotNumberIsSkipped",
                 EventLine("ClientUserinfoChanged: 99999999999 n\\x\\t\\1\\"),
                 {},
                 1}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(Harvest, SlotSixtyThreeIsTheLast) {
    HarvestedLog log({Connect(63, "1.2.3.4"), Connect(64, "5.6.7.8", kOtherGuid),
                      Userinfo(63, "Bob"), Userinfo(64, "Rob")});
    log.Harvest();
    EXPECT_EQ(log.Rows(), Rows{kBob});
    // The connection line of slot 64 did not even look its GUID up.
    EXPECT_EQ(log.db->CallsOf("FindGuid"), std::vector<std::string>{"FindGuid " + kGuid});
}

TEST(Harvest, NamesGoToTheLatestConnectionOfTheirSlot) {
    HarvestedLog log({Connect(2, "1.2.3.4"), Userinfo(2, "Bob"), Connect(2, "5.6.7.8", kOtherGuid),
                      Userinfo(2, "Bob"), Userinfo(3, "Bob")});
    log.Harvest();
    EXPECT_EQ(log.Rows(), (Rows{kBob, "2 5.6.7.8 Bob Bob"}));
}

TEST(Harvest, AColourVariantAddsNothingANewNameOrAddressDoes) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(0, "^1Bob"), Userinfo(0, "^4Bob"),
                      Userinfo(0, "Rob"), Connect(0, "1.2.3.5"), Userinfo(0, "^7Bob")});
    log.Harvest();
    EXPECT_EQ(log.Rows(),
              (Rows{"1 1.2.3.4 Bob ^1Bob", "1 1.2.3.4 Rob Rob", "1 1.2.3.5 Bob ^7Bob"}));
    EXPECT_EQ(log.model().playersNew(), 3);
    EXPECT_EQ(log.model().guidsNew(), 1);
}

TEST(Harvest, AnAddressLongerThanFifteenBytesIsCut) {
    HarvestedLog log({Connect(0, "1234567890.1234567"), Userinfo(0, "Bob")});
    log.Harvest();
    ASSERT_EQ(log.db->players.size(), 1u);
    const auto& row = log.db->players.front();
    EXPECT_EQ(row.ipFull, "1234567890.1234");
    EXPECT_EQ((std::array<std::string, 4>{row.ipParts[0], row.ipParts[1], row.ipParts[2],
                                          row.ipParts[3]}),
              (std::array<std::string, 4>{"123", "123", "", ""}));
    EXPECT_EQ(log.model().harvestSlots()[0].address.view(), "1234567890.1234");
}

// --- Counters ---------------------------------------------------------------

TEST(Harvest, CountersStartFromTheTablesAndKeepTheirValues) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(0, "Bob"), Connect(1, "5.6.7.8", kOtherGuid),
                      Userinfo(1, "Rob"), Userinfo(1, "Rob")});
    log.db->guids = {{"11111111111111111111111111111111", 1},
                     {"22222222222222222222222222222222", 2}};
    log.db->nextKey = 3;
    log.db->players.push_back({1, {"9", "9", "9", "9"}, "9.9.9.9", "Old", "Old"});
    log.Harvest();
    EXPECT_EQ(log.model().guidsNew(), 2);
    EXPECT_EQ(log.model().guidsTotal(), 4);
    EXPECT_EQ(log.model().playersNew(), 2);
    EXPECT_EQ(log.model().playersTotal(), 3);

    // A second run finds everything and adds nothing.
    log.Harvest();
    EXPECT_EQ(log.model().guidsNew(), 0);
    EXPECT_EQ(log.model().guidsTotal(), 4);
    EXPECT_EQ(log.model().playersNew(), 0);
    EXPECT_EQ(log.model().playersTotal(), 3);
    EXPECT_TRUE(log.db->CallsOf("InsertGuid").size() == 2);
    EXPECT_TRUE(log.db->CallsOf("InsertSighting").size() == 2);
}

TEST(Harvest, CountersAreZeroBeforeTheFirstRun) {
    HarvestedLog log({});
    EXPECT_EQ(log.model().guidsNew(), 0);
    EXPECT_EQ(log.model().guidsTotal(), 0);
    EXPECT_EQ(log.model().playersNew(), 0);
    EXPECT_EQ(log.model().playersTotal(), 0);
}

// --- Slots across runs --------------------------------------------------------

TEST(Harvest, EveryRunStartsWithEmptySlots) {
    // The name comes before any connection line. A later run must not store
    // it under the GUID the slot held at the end of the run before: that
    // would be a false alias.
    HarvestedLog log({Userinfo(4, "Bob"), Connect(4, "1.2.3.4")});
    log.Harvest();
    EXPECT_TRUE(log.Rows().empty());
    EXPECT_TRUE(log.model().harvestSlots()[4].connected);
    log.Harvest();
    EXPECT_TRUE(log.Rows().empty());
}

TEST(Harvest, TheClassificationWalkLeavesTheHarvestSlotsAlone) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(1, "Bob")});
    log.model().WalkAll(WalkMode::Classify);
    EXPECT_FALSE(log.model().harvestSlots()[0].connected);
    EXPECT_TRUE(log.db->calls.empty());
}

// --- What a run remembers -----------------------------------------------------

TEST(Harvest, ARunAsksTheDatabaseOnceForEachGuidAndSighting) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(0, "^1Bob"), Connect(0, "1.2.3.4"),
                      Userinfo(0, "^2Bob"), Userinfo(0, "Bob"), Connect(1, "1.2.3.4"),
                      Userinfo(1, "Bob"), Userinfo(1, "Rob")});
    log.Harvest();
    EXPECT_EQ(log.db->CallsOf("FindGuid").size(), 1u);
    EXPECT_EQ(
        log.db->CallsOf("SightingExists"),
        (std::vector<std::string>{"SightingExists 1 1.2.3.4 Bob", "SightingExists 1 1.2.3.4 Rob"}));
    // The next run asks afresh, since the database may have changed between.
    log.Harvest();
    EXPECT_EQ(log.db->CallsOf("FindGuid").size(), 2u);
    EXPECT_EQ(log.db->CallsOf("SightingExists").size(), 4u);
    EXPECT_EQ(log.Rows(), (Rows{"1 1.2.3.4 Bob ^1Bob", "1 1.2.3.4 Rob Rob"}));
}

TEST(Harvest, ASightingFoundStoredIsRememberedToo) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(0, "Bob"), Userinfo(0, "Bob")});
    log.db->players.push_back({1, {"1", "2", "3", "4"}, "1.2.3.4", "Bob", "Bob"});
    log.db->guids = {{kGuid, 1}};
    log.db->nextKey = 2;
    log.Harvest();
    EXPECT_EQ(log.db->CallsOf("SightingExists").size(), 1u);
    EXPECT_TRUE(log.db->CallsOf("InsertSighting").empty());
    EXPECT_TRUE(log.db->CallsOf("InsertGuid").empty());
}

struct MemoCase {
    const char* name;
    std::int32_t key;
    const char* address;
    const char* formatted;
    bool known; // after remembering key 1, "1.2.3.4", "Bob"
};

void PrintTo(const MemoCase& c, std::ostream* os) {
    *os << c.name;
}

class HarvestMemoKeys : public testing::TestWithParam<MemoCase> {};

TEST_P(HarvestMemoKeys, KnowOnlyTheSameThreeValues) {
    HarvestMemo memo;
    memo.RememberSighting(1, "1.2.3.4", "Bob");
    const MemoCase& c = GetParam();
    EXPECT_EQ(memo.KnowsSighting(c.key, c.address, c.formatted), c.known);
    memo.Clear();
    EXPECT_FALSE(memo.KnowsSighting(1, "1.2.3.4", "Bob"));
}

INSTANTIATE_TEST_SUITE_P(
    Sightings, HarvestMemoKeys,
    testing::Values(MemoCase{"Same", 1, "1.2.3.4", "Bob", true},
                    MemoCase{"OtherKey", 2, "1.2.3.4", "Bob", false},
                    MemoCase{"OtherAddress", 1, "1.2.3.5", "Bob", false},
                    MemoCase{"OtherCase", 1, "1.2.3.4", "bob", false},
                    MemoCase{"AddressByteMovedIntoTheName", 1, "1.2.3.", "4Bob", false},
                    MemoCase{"NameByteMovedIntoTheAddress", 1, "1.2.3.4B", "ob", false}),
    [](const testing::TestParamInfo<MemoCase>& info) { return info.param.name; });

// --- Steps, failures and the database's life ----------------------------------

TEST(Harvest, EachStepIsOneDatabaseStep) {
    std::vector<std::string> lines(250, EventLine("plain"));
    lines[0] = Connect(0, "1.2.3.4");
    lines[1] = Userinfo(0, "Bob");
    HarvestedLog log(lines);
    EXPECT_EQ(log.model().BeginWalk(-1, WalkMode::Harvest), 100);
    EXPECT_TRUE(log.db->open);
    int steps = 0;
    int step = 0;
    while ((step = log.model().WalkStep()) >= 0) {
        steps = step;
    }
    EXPECT_EQ(steps, 84);
    log.model().EndWalk();
    EXPECT_FALSE(log.db->open);
    EXPECT_EQ(log.db->CallsOf("BeginStep").size(), 84u);
    EXPECT_EQ(log.db->CallsOf("CommitStep").size(), 84u);
    const std::vector<std::string> expectedStart = {"Open",
                                                    "CountGuids",
                                                    "CountPlayers",
                                                    "BeginStep",
                                                    "FindGuid " + kGuid,
                                                    "InsertGuid " + kGuid,
                                                    "SightingExists 1 1.2.3.4 Bob",
                                                    "InsertSighting 1 1|2|3|4 1.2.3.4 Bob Bob",
                                                    "CommitStep",
                                                    "BeginStep"};
    EXPECT_EQ(std::vector<std::string>(log.db->calls.begin(), log.db->calls.begin() + 10),
              expectedStart);
    EXPECT_EQ(log.db->calls.back(), "Close");
}

TEST(Harvest, AFailureEndsTheStepAndEndWalkKeepsWhatWentBefore) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(0, "Bob"), Userinfo(0, "Rob")});
    // Open, two counts, BeginStep, FindGuid, InsertGuid, SightingExists,
    // InsertSighting (Bob), SightingExists, then Rob's insert fails.
    log.db->failAt = 10;
    log.model().BeginWalk(1, WalkMode::Harvest);
    EXPECT_THROW(log.model().WalkStep(), DatabaseError);
    EXPECT_EQ(log.model().playersNew(), 1);
    EXPECT_TRUE(log.db->players.empty()); // not committed yet
    log.model().EndWalk();
    EXPECT_FALSE(log.model().harvestMode());
    EXPECT_EQ(log.Rows(), Rows{kBob});
    EXPECT_EQ(log.db->guids.size(), 1u);
}

TEST(Harvest, RunningOutOfMemoryLeavesTheStepAlike) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(0, "Bob")});
    log.db->failAt = 5; // the first FindGuid
    log.db->failure = RecordingPlayerDatabase::Failure::OutOfMemory;
    log.model().BeginWalk(-1, WalkMode::Harvest);
    EXPECT_THROW(log.model().WalkStep(), std::bad_alloc);
    log.model().EndWalk();
    EXPECT_FALSE(log.db->open);
}

// A whole walk at once that fails ends itself: harvest mode is over and the
// database closed.
TEST(Harvest, AWholeWalkThatFailsIsEndedBeforeTheFailureLeaves) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(0, "Bob"), Userinfo(0, "Rob")});
    log.db->failAt = 10;
    EXPECT_THROW(log.model().WalkAll(WalkMode::Harvest), DatabaseError);
    EXPECT_FALSE(log.model().harvestMode());
    EXPECT_FALSE(log.db->open);
}

TEST(Harvest, AFailingOpenLeavesTheCountersOfTheLastRun) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(0, "Bob")});
    log.Harvest();
    log.db->failAt = static_cast<int>(log.db->calls.size()) + 1;
    EXPECT_THROW(log.model().BeginWalk(-1, WalkMode::Harvest), DatabaseError);
    log.model().EndWalk();
    EXPECT_FALSE(log.model().harvestMode());
    EXPECT_EQ(log.model().playersNew(), 1);
    EXPECT_EQ(log.model().guidsTotal(), 1);
}

TEST(Harvest, AFailingCloseStillEndsHarvestMode) {
    HarvestedLog log({Connect(0, "1.2.3.4")});
    log.model().BeginWalk(-1, WalkMode::Harvest);
    while (log.model().WalkStep() >= 0) {
    }
    log.db->failAt = static_cast<int>(log.db->calls.size()) + 1;
    EXPECT_THROW(log.model().EndWalk(), DatabaseError);
    EXPECT_FALSE(log.model().harvestMode());
}

TEST(Harvest, WithoutADatabaseTheRunFailsAtOnce) {
    ClassifiedLog log({Connect(0, "1.2.3.4")});
    EXPECT_THROW(log.model.BeginWalk(-1, WalkMode::Harvest), DatabaseError);
    EXPECT_FALSE(log.model.harvestMode());
    log.model.EndWalk();
}

// --- Other writers: steps given up and taken again ----------------------------

struct GivenUpCase {
    const char* name;
    int failAt; // the call that fails (Open, two counts, BeginStep, then the lines')
    RecordingPlayerDatabase::Failure failure;
    bool leaves; // the failure leaves the walk (a lost connection does)
};

void PrintTo(const GivenUpCase& c, std::ostream* os) {
    *os << c.name;
}

class HarvestGivenUpStep : public testing::TestWithParam<GivenUpCase> {};

// A step the engine gives up is rolled back with all it taught the harvest:
// the slots, the counters and the memo are as before it, so the same lines
// taken again store each row once and count it once.
TEST_P(HarvestGivenUpStep, IsTakenAgainAsIfNothingHadHappened) {
    const GivenUpCase& c = GetParam();
    const std::vector<std::string> lines = {Connect(0, "1.2.3.4"), Userinfo(0, "Bob"),
                                            Connect(1, "5.6.7.8", kOtherGuid), Userinfo(1, "Rob"),
                                            Userinfo(0, "Bob")};
    HarvestedLog log(lines);
    log.db->failAt = c.failAt;
    log.db->failure = c.failure;
    log.model().BeginWalk(1, WalkMode::Harvest);
    if (c.leaves) {
        EXPECT_THROW(log.model().WalkStep(), DatabaseError);
        EXPECT_EQ(log.model().playersNew(), 0);
        EXPECT_FALSE(log.model().harvestSlots()[0].connected);
        // Taken again, on the same walk, as a live harvest does on a new
        // connection.
        log.model().BeginWalk(1, WalkMode::Harvest);
    }
    while (log.model().WalkStep() >= 0) {
    }
    log.model().EndWalk();
    // Keys a given-up step took are not given again, as an engine's are not.
    ASSERT_EQ(log.db->guids.size(), 2u);
    EXPECT_EQ(log.Rows(),
              (Rows{std::to_string(log.db->guids.at(kGuid)) + " 1.2.3.4 Bob Bob",
                    std::to_string(log.db->guids.at(kOtherGuid)) + " 5.6.7.8 Rob Rob"}));
    EXPECT_EQ(log.model().guidsNew(), 2);
    EXPECT_EQ(log.model().playersNew(), 2);
    EXPECT_EQ(log.db->CallsOf("RollbackStep").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Harvest, HarvestGivenUpStep,
    testing::Values(
        GivenUpCase{"ConflictAtTheFirstRow", 6, RecordingPlayerDatabase::Failure::Conflict, false},
        GivenUpCase{"ConflictAfterRows", 9, RecordingPlayerDatabase::Failure::Conflict, false},
        GivenUpCase{"ConflictAtCommit", 13, RecordingPlayerDatabase::Failure::Conflict, false},
        GivenUpCase{"ConnectionLostAfterRows", 9, RecordingPlayerDatabase::Failure::Unreachable,
                    true}),
    [](const testing::TestParamInfo<GivenUpCase>& info) { return info.param.name; });

TEST(Harvest, AnotherWritersRowIsFoundAndNotCounted) {
    HarvestedLog log({Connect(0, "1.2.3.4"), Userinfo(0, "Bob")});
    log.db->guids[kGuid] = 7; // added by another harvest meanwhile
    log.db->nextKey = 8;
    log.Harvest();
    EXPECT_EQ(log.model().guidsNew(), 0);
    EXPECT_EQ(log.model().playersNew(), 1);
    EXPECT_EQ(log.Rows(), Rows{"7 1.2.3.4 Bob Bob"});
}

TEST(Harvest, TheFollowersPlaceIsStoredInTheStepWithItsSlots) {
    HarvestedLog log({Connect(3, "1.2.3.4"), Userinfo(3, "Bob")});
    Harvester harvester(log.model().eventPatterns());
    auto database = std::make_unique<RecordingPlayerDatabase>();
    RecordingPlayerDatabase* db = database.get();
    harvester.SetDatabase(std::move(database));
    harvester.Begin();
    FollowerPlace place{{"host", "/log"}, {1, 2}, 10, 99, 123, {}};
    harvester.HarvestLines(log.model().store(), 0, 1, &place);
    ASSERT_TRUE(db->place);
    EXPECT_EQ(db->place->offset, 123);
    EXPECT_TRUE(db->place->harvestSlots[3].connected);
    EXPECT_EQ(db->place->harvestSlots[3].address.view(), "1.2.3.4");
    EXPECT_EQ(db->CallsOf("StorePlace").size(), 1u);
    // Stored before the commit, never after it.
    EXPECT_EQ(db->calls[db->calls.size() - 2], "StorePlace /log 123");
    EXPECT_EQ(db->calls.back(), "CommitStep");
    harvester.End();
}

// --- The address split -----------------------------------------------------------

struct SplitCase {
    const char* name;
    const char* address;
    std::array<std::string, 4> parts;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class AddressSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(AddressSplit, GivesFourPartsOfAtMostThreeCharacters) {
    std::array<std::string, 4> parts = {"stray", "stray", "stray", "stray"};
    SplitAddress(GetParam().address, parts);
    EXPECT_EQ(parts, GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, AddressSplit,
    testing::Values(SplitCase{"Dotted", "192.168.0.7", {"192", "168", "0", "7"}},
                    SplitCase{"ThreeParts", "10.0.1", {"10", "0", "1", ""}},
                    SplitCase{"NoDot", "localhost", {"loc", "", "", ""}},
                    SplitCase{"Empty", "", {"", "", "", ""}},
                    SplitCase{"LongParts", "1234.56789.0.12345", {"123", "567", "0", "123"}},
                    SplitCase{"FourthDotEnds", "1.2.3.4.5", {"1", "2", "3", "4"}},
                    SplitCase{"OnlyDots", "....", {"", "", "", ""}},
                    SplitCase{"Bracketed", "[::1]", {"[::", "", "", ""}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

} // namespace
