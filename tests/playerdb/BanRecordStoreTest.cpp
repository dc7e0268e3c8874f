#include "BanRecordStore.h"

#include "DatabaseSuite.h"
#include "ReadOnlyDatabase.h"
#include "SqlPlayerLookup.h"

#include <QtGlobal>
#include <gtest/gtest.h>

// The ban records: what a flow's outcomes store, how the history reads them
// back, and what happens on a database that cannot take them.
namespace {

constexpr std::int64_t kFirstOfFebruary = 1075665909; // 2004-02-01T20:05:09Z

// The outcome of one server, as a flow hands it on.
struct Outcome {
    BanAction action;
    BanTarget target;
    std::string reason;
    ServerResult result;

    ServerOutcomeRecord Record() const { return {action, target, reason, result}; }
};

Outcome Banned(const std::string& server, const std::string& text) {
    return {BanAction::Ban,
            {kGuidA, "10.0.0.7", "^1Bad\xE9Guy"},
            "wall hack",
            {server, ServerOutcome::Done, {text, server, MessageIcon::None}}};
}

class BanRecords : public DatabaseSuite {
protected:
    // A store whose clock hands out the given times in turn.
    std::unique_ptr<BanRecordStore> Store(std::vector<BanTime> times) {
        auto next = std::make_shared<std::size_t>(0);
        return std::make_unique<BanRecordStore>(scratch().location(), "alice",
                                                [times, next] { return times.at((*next)++); });
    }

    std::vector<BanRecord> History(const std::string& guid, int limit = -1) {
        SqlPlayerLookup lookup(scratch().location());
        lookup.Open();
        auto records = lookup.BanHistory(guid, limit);
        lookup.Close();
        return records;
    }
};

TEST_P(BanRecords, KeepEveryFieldAndComeBackNewestFirst) {
    auto store = Store(
        {{kFirstOfFebruary, 3600}, {kFirstOfFebruary - 50, -12600}, {kFirstOfFebruary, 3600}});
    store->Record(Banned("Public #1", "GUID added to ban list").Record());
    const Outcome refused{BanAction::Ban,
                          {kGuidA, "10.0.0.7", "^1Bad\xE9Guy"},
                          "wall hack",
                          {"Caf\xE9",
                           ServerOutcome::Refused,
                           {"Ban failed\nUsually this happens if the\nsupplied GUID is already "
                            "banned",
                            "Caf\u00e9", MessageIcon::Warning}}};
    store->Record(refused.Record());
    const Outcome unban{BanAction::Unban,
                        {kGuidA, {}, {}},
                        {},
                        {"Public #2", ServerOutcome::Failed, {"No reply", "", MessageIcon::Error}}};
    store->Record(unban.Record());
    store->Close();
    EXPECT_EQ(store->stored(), 3);
    EXPECT_EQ(store->failed(), 0);
    EXPECT_FALSE(store->FailureMessage());

    // The same second twice: the one stored later first; the one of an
    // earlier instant last, though its local time reads later.
    EXPECT_EQ(
        History(kGuidA),
        (std::vector<BanRecord>{
            {"2004-02-01T21:05:09+01:00", "unban", kGuidA, "", "", "", "Public #2", "No reply",
             "alice"},
            {"2004-02-01T21:05:09+01:00", "ban", kGuidA, "^1Bad\u00e9Guy", "10.0.0.7", "wall hack",
             "Public #1", "GUID added to ban list", "alice"},
            {"2004-02-01T16:34:19-03:30", "ban", kGuidA, "^1Bad\u00e9Guy", "10.0.0.7", "wall hack",
             "Caf\u00e9",
             "Ban failed\nUsually this happens if the\nsupplied GUID is already banned", "alice"},
        }));
    EXPECT_EQ(History(kGuidA, 1).size(), 1u);
    EXPECT_EQ(History(kGuidB), std::vector<BanRecord>{});
}

TEST_P(BanRecords, AGuidIsFoundInEitherCaseAndNoGuidMeansEveryRecord) {
    auto store = Store({{1, 0}, {2, 0}, {3, 0}});
    store->Record(Banned("A", "GUID added to ban list").Record());
    Outcome lower = Banned("B", "GUID added to ban list");
    lower.target.guid = "fedcba9876543210fedcba9876543210";
    store->Record(lower.Record());
    Outcome upper = Banned("C", "GUID added to ban list");
    upper.target.guid = kGuidB;
    store->Record(upper.Record());
    store->Close();

    const auto servers = [](const std::vector<BanRecord>& records) {
        std::vector<std::string> names;
        for (const BanRecord& record : records) {
            names.push_back(record.server);
        }
        return names;
    };
    EXPECT_EQ(servers(History(kGuidB)), (std::vector<std::string>{"C", "B"}));
    EXPECT_EQ(servers(History("FedcbA9876543210FEDCBA9876543210")),
              (std::vector<std::string>{"C", "B"}));
    EXPECT_EQ(servers(History("")), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(servers(History("", 2)), (std::vector<std::string>{"C", "B"}));
}

TEST_P(BanRecords, AnOlderDatabaseIsReadAsItIsAndGetsTheTableAtTheFirstRecord) {
    MakeOlderDatabase(scratch(), GetParam());
    {
        auto database = OpenDatabase();
        database->InsertSighting(Sighting(database->AddGuid(kGuidA), "1.2.3.4", "Bob", "Bob"));
        database->Close();
    }
    // Reading changes nothing.
    EXPECT_EQ(History(kGuidA), std::vector<BanRecord>{});
    {
        SqlPlayerLookup lookup(scratch().location());
        lookup.Open();
        const auto found =
            lookup.FindPlayers(*ParsePlayerSearch(PlayerSearchMode::Address, "1.2.3.").search, -1);
        EXPECT_EQ(found.players.size(), 1u);
        lookup.Close();
    }
    EXPECT_FALSE(HasObject(scratch(), GetParam(), "Ban_Records"));
    const bool postgres = GetParam() == TestEngine::Postgres;
    EXPECT_FALSE(HasObject(scratch(), GetParam(), "Players_IP_Full"));

    auto store = Store({{10, 0}, {11, 0}});
    store->Record(Banned("A", "GUID added to ban list").Record());
    store->Close();
    store->Record(Banned("B", "GUID added to ban list").Record()); // a new connection
    store->Close();
    EXPECT_EQ(store->stored(), 2);
    EXPECT_TRUE(HasObject(scratch(), GetParam(), "Ban_Records"));
    EXPECT_TRUE(HasObject(scratch(), GetParam(), "Ban_Records_GUID"));
    // The finds' indexes come with it where there are any.
    EXPECT_EQ(HasObject(scratch(), GetParam(), "Players_IP_Full"), postgres);
    EXPECT_EQ(HasObject(scratch(), GetParam(), "GUID_GUID_C"), postgres);
    EXPECT_EQ(History(kGuidA).size(), 2u);
    // Nothing else changed: the rows stand as they were.
    EXPECT_EQ(scratch().QueryText(R"(SELECT COUNT(*) FROM "Players")"), "1");
}

TEST_P(BanRecords, ANameOrReasonIsStoredAsGivenWhateverItHolds) {
    auto store = Store({{1, 0}});
    Outcome awkward = Banned("'); DROP TABLE \"Ban_Records\"; --", "x");
    awkward.reason = "100% _sure_ 'quoted' |bar| \\";
    awkward.target.name = "O'Neil|x";
    store->Record(awkward.Record());
    store->Close();
    const auto records = History(kGuidA);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].reason, "100% _sure_ 'quoted' |bar| \\");
    EXPECT_EQ(records[0].name, "O'Neil|x");
    EXPECT_EQ(records[0].server, "'); DROP TABLE \"Ban_Records\"; --");
}

TEST_P(BanRecords, ThePlayerActionsComeBackWithTheirMinutesAndReadably) {
    const struct {
        BanAction action;
        std::string reason;
        std::optional<int> minutes;
        std::string word;
        std::string line;
    } cases[] = {
        {BanAction::Kick, "camping", std::nullopt, "kick",
         "kick on Alpha by alice: Done (reason: camping)"},
        {BanAction::TempKick, "spam", 15, "tempkick",
         "temp-kick 15 min on Alpha by alice: Done (reason: spam)"},
        {BanAction::Message, "play fair", std::nullopt, "message",
         "message on Alpha by alice: Done (said: play fair)"},
    };
    auto store = Store({{1, 0}, {2, 0}, {3, 0}});
    const BanTarget player{kGuidA, "10.0.0.7", "Bob"};
    const ServerResult result{"Alpha", ServerOutcome::Done, {"Done", "Alpha"}};
    for (const auto& c : cases) {
        store->Record({c.action, player, c.reason, result, c.minutes});
    }
    store->Close();
    ASSERT_EQ(store->stored(), 3) << store->firstError();
    const std::vector<BanRecord> records = History(kGuidA);
    ASSERT_EQ(records.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& c = cases[2 - i]; // newest first
        EXPECT_EQ(records[i].action, c.word);
        EXPECT_EQ(records[i].minutes, c.minutes) << c.word;
        EXPECT_EQ(records[i].reason, c.reason);
        EXPECT_EQ(BanRecordLine(records[i]),
                  FormatBanTime({3 - static_cast<int>(i), 0}) + "  " + c.line);
    }
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(BanRecords);

// A database that takes no writes, on a database of the test's own.
class BanRecordsReadOnly : public ::testing::TestWithParam<TestEngine> {};

TEST_P(BanRecordsReadOnly, ARecordThatCannotBeStoredIsCountedAndToldAndNothingIsThrown) {
    ScratchDatabase scratch(GetParam(), ScratchDatabase::Isolation::Database);
    if (!scratch.skipReason().empty()) {
        GTEST_SKIP() << scratch.skipReason();
    }
    scratch.Create();
    MakeReadOnly(scratch, GetParam());
    BanRecordStore store(scratch.location(), "alice", [] { return BanTime{1, 0}; });
    EXPECT_NO_THROW(store.Record(Banned("A", "GUID added to ban list").Record()));
    EXPECT_NO_THROW(store.Record(Banned("B", "No reply").Record()));
    store.Close();
    EXPECT_EQ(store.stored(), 0);
    EXPECT_EQ(store.failed(), 2);
    EXPECT_FALSE(store.firstError().empty());
    const auto message = store.FailureMessage();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "The ban went ahead, but the player database did not store 2 of its "
                             "2 records:\n" +
                                 store.firstError());
    EXPECT_EQ(message->caption, "Quarvel");
    EXPECT_EQ(message->icon, MessageIcon::Warning);
}

TEST(BanRecordsMissing, ADatabaseThatIsNotThereIsToldForAnUnban) {
    ScratchDatabase scratch(TestEngine::Sqlite); // never created
    BanRecordStore store(scratch.location(), "alice", [] { return BanTime{1, 0}; });
    const BanTarget target{kGuidA, {}, {}};
    const ServerResult result{"A", ServerOutcome::Done, {"GUID removed from ban list", "A"}};
    store.Record({BanAction::Unban, target, {}, result});
    const auto message = store.FailureMessage();
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->text.starts_with(
        "The unban went ahead, but the player database did not store its record:\n"))
        << message->text;
    EXPECT_NE(message->text.find("does not exist"), std::string::npos) << message->text;
    EXPECT_FALSE(std::filesystem::exists(scratch.location()));

    BanRecordStore kicks(scratch.location(), "alice", [] { return BanTime{1, 0}; });
    kicks.Record({BanAction::TempKick, target, "spam", result, 5});
    kicks.Record({BanAction::TempKick, target, "spam", result, 5});
    ASSERT_TRUE(kicks.FailureMessage());
    EXPECT_TRUE(kicks.FailureMessage()->text.starts_with(
        "The temp-kick went ahead, but the player database did not store 2 of its 2 records:\n"))
        << kicks.FailureMessage()->text;
}

INSTANTIATE_TEST_SUITE_P(Engines, BanRecordsReadOnly,
                         ::testing::Values(TestEngine::Sqlite, TestEngine::Postgres),
                         [](const ::testing::TestParamInfo<TestEngine>& info) {
                             return EngineName(info.param);
                         });

struct TimeCase {
    BanTime time;
    const char* text;
};

TEST(BanTimeText, IsLocalTimeWithItsOffsetFromUtc) {
    for (const TimeCase& c : std::vector<TimeCase>{
             {{0, 0}, "1970-01-01T00:00:00+00:00"},
             {{kFirstOfFebruary, 3600}, "2004-02-01T21:05:09+01:00"},
             {{kFirstOfFebruary, -12600}, "2004-02-01T16:35:09-03:30"},
             {{kFirstOfFebruary, 20700}, "2004-02-02T01:50:09+05:45"}, // past midnight
             {{kFirstOfFebruary, 50400}, "2004-02-02T10:05:09+14:00"},
             {{kFirstOfFebruary, -17762}, "2004-02-01T15:09:07-04:56"}, // a mean time's seconds
             {{-1, 0}, "1969-12-31T23:59:59+00:00"},
             {{253402300799, 0}, "9999-12-31T23:59:59+00:00"},
         }) {
        EXPECT_EQ(FormatBanTime(c.time), c.text)
            << c.time.epochSeconds << " " << c.time.offsetSeconds;
    }
}

TEST(BanTimeText, NowIsTheLocalClocks) {
    const BanTime now = LocalBanTime();
    const std::string text = FormatBanTime(now);
    ASSERT_EQ(text.size(), 25u) << text;
    EXPECT_EQ(text[10], 'T');
    EXPECT_TRUE(text[19] == '+' || text[19] == '-') << text;
    EXPECT_GT(now.epochSeconds, kFirstOfFebruary);
}

TEST(BanRecordText, OneLineWithWhatItKnows) {
    const BanRecord ban{
        "2004-02-01T21:05:09+01:00",        "ban",  kGuidA, "Bob", "1.2.3.4", "aimbot", "Public #1",
        "Ban failed\nUsually this happens", "alice"};
    EXPECT_EQ(BanRecordLine(ban), "2004-02-01T21:05:09+01:00  ban on Public #1 by alice: Ban "
                                  "failed Usually this happens (reason: aimbot)");
    const BanRecord unban{"2004-02-01T21:05:09+01:00", "unban", kGuidA, "", "", "", "P", "x", ""};
    EXPECT_EQ(BanRecordLine(unban), "2004-02-01T21:05:09+01:00  unban on P: x");
}

// Sets an environment variable for one test and puts it back after.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const char* value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value == nullptr) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }
    ~EnvironmentValue() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(LoginName, ComesFromTheEnvironmentAndElseFromTheSystem) {
    {
        EnvironmentValue user("USER", "alice");
        EXPECT_EQ(LoginName(), "alice");
    }
    EnvironmentValue user("USER", nullptr);
    EnvironmentValue logname("LOGNAME", nullptr);
    {
        EnvironmentValue username("USERNAME", "bob");
        EXPECT_EQ(LoginName(), "bob");
    }
    EnvironmentValue username("USERNAME", nullptr);
    EXPECT_FALSE(LoginName().empty());
}

} // namespace
