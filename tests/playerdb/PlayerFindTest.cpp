#include "DatabaseSuite.h"
#include "DatabaseUpdateRun.h"
#include "HarvestLog.h"
#include "ReadOnlyDatabase.h"
#include "SqlPlayerLookup.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

// The finds of the Find player window and quarvelctl find, on each engine.
namespace {

// A GUID of 32 digits made from a short head.
std::string Guid(const std::string& head) {
    return head + std::string(32 - head.size(), '0');
}

// One Players row to store, on day `day` of February 2004.
struct Row {
    std::string guid;
    std::string ip;
    std::string formatted;
    std::string raw;
    unsigned day = 1;
};

void StoreRows(const std::string& location, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        const std::chrono::year_month_day day{std::chrono::year{2004}, std::chrono::month{2},
                                              std::chrono::day{row.day}};
        SqlPlayerDatabase database(location, [day] { return day; });
        database.Open();
        const auto key = database.FindGuid(row.guid);
        const std::int32_t guidKey = key ? *key : database.AddGuid(row.guid);
        const std::string raw = row.raw.empty() ? row.formatted : row.raw;
        database.InsertSighting(Sighting(guidKey, row.ip, row.formatted, raw));
        database.Close();
    }
}

PlayerFindResult FindOn(const std::string& location, PlayerSearchMode mode, const std::string& text,
                        int limit = -1) {
    const PlayerSearchParse parse = ParsePlayerSearch(mode, text);
    EXPECT_TRUE(parse.search) << parse.error;
    if (!parse.search) {
        return {};
    }
    SqlPlayerLookup lookup(location);
    lookup.Open();
    PlayerFindResult result = lookup.FindPlayers(*parse.search, limit);
    lookup.Close();
    return result;
}

// The GUIDs found, as a set: for cases that are about which, not in what
// order.
std::set<std::string> FoundSetOn(const std::string& location, PlayerSearchMode mode,
                                 const std::string& text) {
    std::set<std::string> guids;
    for (const FoundPlayer& player : FindOn(location, mode, text).players) {
        guids.insert(player.guid);
    }
    return guids;
}

class PlayerFind : public DatabaseSuite {
protected:
    void Store(const std::vector<Row>& rows) { StoreRows(scratch().location(), rows); }

    PlayerFindResult Find(PlayerSearchMode mode, const std::string& text, int limit = -1) {
        return FindOn(scratch().location(), mode, text, limit);
    }

    // The GUIDs found, in the order found.
    std::vector<std::string> Found(PlayerSearchMode mode, const std::string& text) {
        std::vector<std::string> guids;
        for (const FoundPlayer& player : Find(mode, text).players) {
            guids.push_back(player.guid);
        }
        return guids;
    }

    std::set<std::string> FoundSet(PlayerSearchMode mode, const std::string& text) {
        return FoundSetOn(scratch().location(), mode, text);
    }
};

using Texts = std::vector<std::string>;
using Mode = PlayerSearchMode;

TEST_P(PlayerFind, ByNameShowsEveryNameAndAddressOfTheGuidsWithAMatchingRow) {
    const std::string a = Guid("A1"), b = Guid("B1"), c = Guid("C1");
    Store({{a, "1.2.3.4", "Bob", "^1Bob", 1},
           {a, "1.2.3.5", "Robert", "^4Robert", 3},
           {a, "1.2.3.4", "Robert", "^4Robert", 2},
           {b, "5.6.7.8", "bobby", "bobby", 2},
           {c, "9.9.9.9", "Alice", "Alice", 5}});

    const PlayerFindResult result = Find(Mode::Name, "BOB");
    EXPECT_FALSE(result.cut);
    ASSERT_EQ(result.players.size(), 2u);
    const FoundPlayer& first = result.players[0];
    EXPECT_EQ(first.guid, a);
    EXPECT_EQ(first.names, (Texts{"Bob", "Robert"}));
    EXPECT_EQ(first.addresses, (Texts{"1.2.3.4", "1.2.3.5"}));
    EXPECT_EQ(first.sightings, 3);
    EXPECT_EQ(first.firstSeen, "2004-02-01");
    EXPECT_EQ(first.lastSeen, "2004-02-03");
    // The row stored last, whatever its date.
    EXPECT_EQ(first.latestName, "^4Robert");
    EXPECT_EQ(first.latestAddress, "1.2.3.4");
    EXPECT_EQ(result.players[1].guid, b);
    EXPECT_EQ(result.players[1].sightings, 1);
}

TEST_P(PlayerFind, NewestLastSightingFirstThenByGuid) {
    Store({{Guid("D"), "1.1.1.1", "Same", "", 2},
           {Guid("A"), "1.1.1.1", "Same", "", 1},
           {Guid("C"), "1.1.1.1", "Same", "", 3},
           {Guid("B"), "1.1.1.1", "Same", "", 2},
           {Guid("A"), "1.1.1.2", "Other", "", 4}});
    EXPECT_EQ(Found(Mode::Name, "same"), (Texts{Guid("A"), Guid("C"), Guid("B"), Guid("D")}));
}

TEST_P(PlayerFind, LettersBeyondAsciiMatchInEitherCase) {
    // Log bytes are Windows-1252: J\xF6rg is Jörg, \xC9 is É, \x8A is Š.
    Store({{Guid("1"), "1.1.1.1", "J\xF6rg", "", 1},
           {Guid("2"), "1.1.1.1", "\xE9l\x80ve", "", 1},
           {Guid("3"), "1.1.1.1", "\x9A\x65rif", "", 1}});
    EXPECT_EQ(Found(Mode::Name, "J\xD6RG"), (Texts{Guid("1")}));
    EXPECT_EQ(Found(Mode::Name, "\xC9L\x80"), (Texts{Guid("2")}));
    EXPECT_EQ(Found(Mode::Name, "\x8A"
                                "E"),
              (Texts{Guid("3")}));
    EXPECT_EQ(Found(Mode::Name, "jorg"), Texts{}); // o is not ö
}

TEST_P(PlayerFind, ColourCodesOfTheTextAreNoPartOfIt) {
    Store({{Guid("1"), "1.1.1.1", "BadGuy", "^1Bad^7Guy", 1}});
    EXPECT_EQ(Found(Mode::Name, "^1bad^2guy"), (Texts{Guid("1")}));
}

// Every character of a name stands for itself: none is a wildcard or
// anything else to either engine.
struct NeedleCase {
    const char* needle;
    Texts names; // the names of the GUIDs it finds
};

const Texts kAwkwardNames = {"100% sure", "a_c",  "abc",         "x*y",      "x?y",
                             "[br]",      "b",    "back\\slash", "O'Neil|x", "a.c",
                             "(paren)+",  "end$", "^start",      "{1,2}",    "\"quoted\""};

// Stores the awkward names, one GUID each, and checks what every needle
// finds.
void CheckNeedles(const std::string& location) {
    std::vector<Row> rows;
    for (std::size_t i = 0; i < kAwkwardNames.size(); ++i) {
        rows.push_back({Guid("E" + std::to_string(i)), "1.1.1.1", kAwkwardNames[i],
                        "^^" + kAwkwardNames[i], 1});
    }
    StoreRows(location, rows);
    const std::vector<NeedleCase> cases = {
        {"%", {"100% sure"}},
        {"_", {"a_c"}},
        {"a_c", {"a_c"}},
        {"*", {"x*y"}},
        {"x*y", {"x*y"}},
        {"?", {"x?y"}},
        {"x", {"x*y", "x?y", "O'Neil|x"}},
        {"[", {"[br]"}},
        {"[br]", {"[br]"}},
        {"r]", {"[br]"}},
        {"\\", {"back\\slash"}},
        {"'", {"O'Neil|x"}},
        {"|", {"O'Neil|x"}},
        {"'Neil|", {"O'Neil|x"}},
        {".", {"a.c"}},
        {"a.c", {"a.c"}},
        {"(paren)+", {"(paren)+"}},
        {"n)+", {"(paren)+"}},
        {"$", {"end$"}},
        {"^^s", {"^start"}},
        {"{1,2}", {"{1,2}"}},
        {"\"", {"\"quoted\""}},
        {"') OR 1=1 --", {}},
        {"%' OR '1'='1", {}},
    };
    for (const NeedleCase& c : cases) {
        std::set<std::string> expected;
        for (const std::string& name : c.names) {
            const auto at = std::find(kAwkwardNames.begin(), kAwkwardNames.end(), name);
            expected.insert(Guid("E" + std::to_string(at - kAwkwardNames.begin())));
        }
        EXPECT_EQ(FoundSetOn(location, Mode::Name, c.needle), expected) << "needle " << c.needle;
    }
}

TEST_P(PlayerFind, NoCharacterOfTheTextIsSpecial) {
    CheckNeedles(scratch().location());
}

// PostgreSQL finds names through the trigram index init-db makes where
// pg_trgm is to be had; what it finds is the same.
TEST(PlayerFindTrigrams, FindTheSameThroughTheIndex) {
    ScratchDatabase scratch(TestEngine::Postgres, ScratchDatabase::Isolation::Database);
    if (!scratch.skipReason().empty()) {
        GTEST_SKIP() << scratch.skipReason();
    }
    scratch.Create();
    if (!HasObject(scratch, TestEngine::Postgres, "Players_Name_Trigrams")) {
        GTEST_SKIP() << "pg_trgm is not installed on this server";
    }
    // Every later session of this database goes through the index where it
    // can, however few the rows.
    scratch.Execute("DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET enable_seqscan = off', "
                    "current_database()); END $$");
    CheckNeedles(scratch.location());
    StoreRows(scratch.location(), {{Guid("1"), "1.1.1.1", "J\xF6rg", "", 1}});
    EXPECT_EQ(FoundSetOn(scratch.location(), Mode::Name, "J\xD6RG"),
              std::set<std::string>{Guid("1")});
}

TEST_P(PlayerFind, ByAddressExactPrefixOrNetwork) {
    const std::vector<std::pair<std::string, std::string>> players = {
        {"G1", "81.2.3.4"},   {"G2", "81.2.30.9"}, {"G3", "81.20.1.1"}, {"G4", "81.2.16.200"},
        {"G5", "10.0.0.1"},   {"G6", "9.9.9.9"},   {"G8", "81.2.3.5"},  {"G9", "200.1.1.1"},
        {"GA", "81.2.100.7"}, {"GB", "81.2.3.45"}};
    std::vector<Row> rows;
    for (const auto& [head, ip] : players) {
        rows.push_back({Guid(head), ip, "P" + head, "", 1});
    }
    Store(rows);
    const auto guids = [](std::initializer_list<const char*> heads) {
        std::set<std::string> set;
        for (const char* head : heads) {
            set.insert(Guid(head));
        }
        return set;
    };
    const std::vector<std::pair<std::string, std::set<std::string>>> cases = {
        {"81.2.3.4", guids({"G1"})},
        {"81.2.3.", guids({"G1", "G8", "GB"})},
        {"81.2.", guids({"G1", "G2", "G4", "G8", "GA", "GB"})},
        {"81.", guids({"G1", "G2", "G3", "G4", "G8", "GA", "GB"})},
        {"8.", guids({})},
        {"0.0.0.0/0", guids({"G1", "G2", "G3", "G4", "G5", "G6", "G8", "G9", "GA", "GB"})},
        {"81.0.0.0/8", guids({"G1", "G2", "G3", "G4", "G8", "GA", "GB"})},
        {"81.2.0.0/16", guids({"G1", "G2", "G4", "G8", "GA", "GB"})},
        {"81.2.16.0/20", guids({"G2", "G4"})},
        {"81.2.96.0/19", guids({"GA"})},
        {"81.2.3.4/31", guids({"G1", "G8"})},
        {"81.2.3.44/31", guids({"GB"})},
        {"81.2.3.5/32", guids({"G8"})},
        {"81.2.3.4/30", guids({"G1", "G8"})},
        {"128.0.0.0/1", guids({"G9"})},
        {"0.0.0.0/1", guids({"G1", "G2", "G3", "G4", "G5", "G6", "G8", "GA", "GB"})},
        {"8.0.0.0/7", guids({"G6"})},
        {"80.0.0.0/4", guids({"G1", "G2", "G3", "G4", "G8", "GA", "GB"})},
    };
    for (const auto& [pattern, expected] : cases) {
        EXPECT_EQ(FoundSet(Mode::Address, pattern), expected) << "pattern " << pattern;
    }
}

TEST_P(PlayerFind, ByGuidPrefixInAnyCase) {
    const std::string upper = Guid("ABCD12"), other = Guid("ABCE"), lower = Guid("abcd34"),
                      digits = Guid("0123");
    Store({{upper, "1.1.1.1", "a", "", 1},
           {other, "1.1.1.1", "b", "", 1},
           {lower, "1.1.1.1", "c", "", 1},
           {digits, "1.1.1.1", "d", "", 1}});
    EXPECT_EQ(FoundSet(Mode::Guid, "abcd"), (std::set<std::string>{upper, lower}));
    EXPECT_EQ(FoundSet(Mode::Guid, "ABC"), (std::set<std::string>{upper, other, lower}));
    EXPECT_EQ(FoundSet(Mode::Guid, "0"), (std::set<std::string>{digits}));
    EXPECT_EQ(FoundSet(Mode::Guid, "012"), (std::set<std::string>{digits}));
    EXPECT_EQ(FoundSet(Mode::Guid, upper), (std::set<std::string>{upper}));
    EXPECT_EQ(FoundSet(Mode::Guid, "ABCD129"), std::set<std::string>{});
    EXPECT_EQ(FoundSet(Mode::Guid, "F"), std::set<std::string>{});
}

TEST_P(PlayerFind, AGuidWithoutSightingsIsNotFound) {
    {
        auto database = OpenDatabase();
        database->AddGuid(kGuidA);
        database->Close();
    }
    EXPECT_EQ(Found(Mode::Guid, kGuidA), Texts{});
}

TEST_P(PlayerFind, ALimitCutsTheListAndSaysSo) {
    std::vector<Row> rows;
    for (unsigned i = 1; i <= 5; ++i) {
        rows.push_back({Guid("F" + std::to_string(i)), "1.1.1.1", "Same", "", i});
    }
    Store(rows);
    const PlayerFindResult three = Find(Mode::Name, "same", 3);
    EXPECT_TRUE(three.cut);
    ASSERT_EQ(three.players.size(), 3u);
    EXPECT_EQ(three.players[0].guid, Guid("F5")); // the newest are kept
    EXPECT_EQ(three.players[2].guid, Guid("F3"));
    EXPECT_FALSE(Find(Mode::Name, "same", 5).cut);
    EXPECT_EQ(Find(Mode::Name, "same", 5).players.size(), 5u);
    EXPECT_EQ(Find(Mode::Name, "same").players.size(), 5u);
}

TEST_P(PlayerFind, FindsWhatAHarvestStored) {
    HarvestLog log({ConnectLine(0, "192.168.0.7", kGuidA), UserinfoLine(0, "^1Bob"),
                    UserinfoLine(0, "^2Bobby^7'"), ConnectLine(1, "10.0.0.1", kGuidB),
                    UserinfoLine(1, "Rob"), ConnectLine(0, "192.168.0.8", kGuidA),
                    UserinfoLine(0, "^1Bob")});
    log.model.SetPlayerDatabase(NewDatabase());
    class NoProgress final : public DatabaseUpdateProgress {
        void Begin(int) override {}
        bool StepDone(int, const HarvestCounters&) override { return true; }
    } progress;
    ASSERT_FALSE(RunHarvestWalk(log.model, progress).failure);

    const PlayerFindResult byName = Find(Mode::Name, "OB");
    ASSERT_EQ(byName.players.size(), 2u);
    const FoundPlayer& bob = byName.players[0];
    EXPECT_EQ(bob.guid, kGuidA);
    EXPECT_EQ(bob.names, (Texts{"Bob", "Bobby'"}));
    EXPECT_EQ(bob.addresses, (Texts{"192.168.0.7", "192.168.0.8"}));
    EXPECT_EQ(bob.sightings, 3);
    EXPECT_EQ(bob.latestName, "^1Bob");
    EXPECT_EQ(bob.latestAddress, "192.168.0.8");
    EXPECT_EQ(bob.firstSeen, "2004-02-01");
    EXPECT_EQ(bob.lastSeen, "2004-02-01");
    EXPECT_EQ(byName.players[1].guid, kGuidB);
    EXPECT_EQ(Found(Mode::Address, "192.168.0.8"), (Texts{kGuidA}));
    EXPECT_EQ(Found(Mode::Guid, "fedc"), (Texts{kGuidB}));
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(PlayerFind);

} // namespace
