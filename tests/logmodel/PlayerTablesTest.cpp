#include "GuidTable.h"
#include "PlayerSlotTable.h"
#include "SlotGuids.h"

#include <cctype>
#include <cstdio>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kTableGuid = "0123456789ABCDEF0123456789ABCDEF";

std::vector<std::string> AliasesOf(const GuidTable& table, std::string_view guid) {
    std::vector<std::string> names;
    if (const auto* aliases = table.Aliases(guid)) {
        for (const AliasName& alias : *aliases) {
            names.emplace_back(alias.name.view());
        }
    }
    return names;
}

struct BucketCase {
    const char* name;
    std::string guid;
    int bucket;
};

void PrintTo(const BucketCase& c, std::ostream* os) {
    *os << c.name;
}

class GuidBucket : public testing::TestWithParam<BucketCase> {};

TEST_P(GuidBucket, ComesFromTheLastThreeHexDigits) {
    EXPECT_EQ(GuidTable::Bucket(GetParam().guid), GetParam().bucket);
}

INSTANTIATE_TEST_SUITE_P(
    Guids, GuidBucket,
    testing::Values(BucketCase{"CapitalF", "00000000000000000000000000000FFF", 4095},
                    BucketCase{"SmallF", "00000000000000000000000000000fff", 4095},
                    BucketCase{"NonHexCountsZero", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFF00G", 0},
                    BucketCase{"OrderOfDigits", "00000000000000000000000000000123", 0x123},
                    BucketCase{"MixedCase", "000000000000000000000000000000aB", 0xAB},
                    BucketCase{"OnlyTheLastThreeCount", "ABCDEFABCDEFABCDEFABCDEFABCDE000", 0}),
    [](const testing::TestParamInfo<BucketCase>& info) { return info.param.name; });

TEST(GuidTable, GuidsDifferingOnlyInCaseShareOneEntry) {
    GuidTable table;
    table.AddAlias("0123456789abcdef0123456789abcdef", "first");
    table.AddAlias(kTableGuid, "second");
    const GuidEntry* entry = table.Find(kTableGuid);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry, table.Find("0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(entry->Guid(), "0123456789abcdef0123456789abcdef"); // kept as first seen
    EXPECT_EQ(AliasesOf(table, "0123456789aBcDeF0123456789AbCdEf"),
              (std::vector<std::string>{"second", "first"}));
    int entries = 0;
    for (int b = 0; b < GuidTable::kBucketCount; ++b) {
        entries += static_cast<int>(
            std::distance(table.BucketChain(b).begin(), table.BucketChain(b).end()));
    }
    EXPECT_EQ(entries, 1);
}

TEST(GuidTable, UnknownOrMalformedGuidsFindNothing) {
    GuidTable table;
    table.AddAlias(kTableGuid, "x");
    EXPECT_EQ(table.Find("FEDCBA9876543210FEDCBA9876543210"), nullptr);
    EXPECT_EQ(table.Aliases("FEDCBA9876543210FEDCBA9876543210"), nullptr);
    EXPECT_EQ(table.Find(kTableGuid.substr(0, 31)), nullptr);
    EXPECT_EQ(table.Find(""), nullptr);
    table.AddAlias("short", "ignored");
    EXPECT_EQ(table.Find("short"), nullptr);
}

TEST(GuidTable, NamesAreKeptOnceByExactBytesNewestFirst) {
    GuidTable table;
    table.AddAlias(kTableGuid, "^1Bob");
    table.AddAlias(kTableGuid, "^1Bob");
    table.AddAlias(kTableGuid, "^4Bob");
    table.AddAlias(kTableGuid, "^1bob");
    table.AddAlias(kTableGuid, "^1Bob");
    EXPECT_EQ(AliasesOf(table, kTableGuid), (std::vector<std::string>{"^1bob", "^4Bob", "^1Bob"}));
}

TEST(GuidTable, EmbeddedZeroBytesAreNamesOfTheirOwn) {
    GuidTable table;
    table.AddAlias(kTableGuid, std::string_view("ab\0c", 4));
    table.AddAlias(kTableGuid, "ab");
    EXPECT_EQ(AliasesOf(table, kTableGuid),
              (std::vector<std::string>{"ab", std::string("ab\0c", 4)}));
}

TEST(GuidTable, NamesAreCutAt63Bytes) {
    GuidTable table;
    const std::string longName(63, 'n');
    table.AddAlias(kTableGuid, longName + "tail one");
    table.AddAlias(kTableGuid, longName + "tail two"); // the same once cut
    EXPECT_EQ(AliasesOf(table, kTableGuid), (std::vector<std::string>{longName}));
}

TEST(GuidTable, ChainsHoldNewestGuidFirst) {
    GuidTable table;
    table.AddAlias("11111111111111111111111111111ABC", "a");
    table.AddAlias("22222222222222222222222222222abc", "b");
    const auto& chain = table.BucketChain(0xABC);
    std::vector<std::string> guids;
    for (const GuidEntry& entry : chain) {
        guids.emplace_back(entry.Guid());
    }
    EXPECT_EQ(guids, (std::vector<std::string>{"22222222222222222222222222222abc",
                                               "11111111111111111111111111111ABC"}));
}

TEST(PlayerSlotTable, StartsEmpty) {
    PlayerSlotTable slots;
    for (int i = 0; i < PlayerSlotTable::kSlotCount; ++i) {
        EXPECT_TRUE(slots.Slot(i).name.empty());
        EXPECT_EQ(slots.Slot(i).team, 0);
        EXPECT_EQ(slots.Slot(i).connection, nullptr);
    }
    EXPECT_EQ(slots.connectionCount(), 0);
    EXPECT_FALSE(slots.FindByName("Bob").has_value());
    EXPECT_EQ(slots.FindByName(""), 0); // an empty name matches slot 0
}

TEST(PlayerSlotTable, FindByNameTakesTheFirstSlotThatBeginsWithTheName) {
    PlayerSlotTable slots;
    slots.SetNameAndTeam(2, "Bobby", 1);
    slots.SetNameAndTeam(5, "Bob", 2);
    EXPECT_EQ(slots.FindByName("Bob"), 2);
    EXPECT_EQ(slots.FindByName("Bob "), std::nullopt);
    EXPECT_EQ(slots.FindByName("bob"), std::nullopt); // case matters
    EXPECT_EQ(slots.FindByName("Bobby"), 2);
    EXPECT_EQ(slots.FindByName("Bobbyx"), std::nullopt); // longer than every name
    EXPECT_EQ(slots.FindByName(""), 0);
    slots.SetNameAndTeam(2, "Alice", 1);
    EXPECT_EQ(slots.FindByName("Bob"), 5);
    EXPECT_EQ(slots.Slot(5).team, 2);
}

TEST(PlayerSlotTable, NamesAreCutAt49Bytes) {
    PlayerSlotTable slots;
    const std::string name(60, 'x');
    slots.SetNameAndTeam(63, name, 3);
    EXPECT_EQ(slots.Slot(63).name.view(), name.substr(0, 49));
    EXPECT_EQ(slots.Slot(63).name.c_str()[49], '\0');
    EXPECT_EQ(slots.FindByName(name.substr(0, 49)), 63);
    EXPECT_EQ(slots.FindByName(name.substr(0, 50)), std::nullopt);
}

TEST(PlayerSlotTable, ConnectionsAccumulateNewestFirstAndNeverMove) {
    PlayerSlotTable slots;
    const ConnectionRecord& first = slots.SetConnection(0, kTableGuid, "10.0.0.1");
    const ConnectionRecord* firstAddress = &first;
    for (int i = 0; i < 10000; ++i) {
        slots.SetConnection(i % 64, "FEDCBA9876543210FEDCBA9876543210", "10.0.0.2");
    }
    const ConnectionRecord& last =
        slots.SetConnection(0, kTableGuid, "192.168.100.200:oops-too-long");
    EXPECT_EQ(slots.connectionCount(), 10002);
    EXPECT_EQ(&slots.connections().front(), &last);
    EXPECT_EQ(&slots.connections().back(), firstAddress);
    EXPECT_EQ(std::distance(slots.connections().begin(), slots.connections().end()), 10002);
    EXPECT_EQ(firstAddress->Guid(), kTableGuid); // still valid after thousands more
    EXPECT_EQ(firstAddress->address.view(), "10.0.0.1");
    EXPECT_EQ(last.address.view(), "192.168.100.200"); // cut at 15 bytes
    EXPECT_EQ(slots.Slot(0).connection, &last);
    EXPECT_EQ(slots.Slot(1).connection->address.view(), "10.0.0.2");
}

TEST(PlayerSlotTable, OnlyZeroToSixtyThreeAreSlots) {
    EXPECT_TRUE(PlayerSlotTable::IsSlot(0));
    EXPECT_TRUE(PlayerSlotTable::IsSlot(63));
    EXPECT_FALSE(PlayerSlotTable::IsSlot(64));
    EXPECT_FALSE(PlayerSlotTable::IsSlot(-1));
    EXPECT_FALSE(PlayerSlotTable::IsSlot(1022));
}

} // namespace

namespace {

// GUIDs that share their last three digits all land in one bucket: the chain
// keeps them newest first, as the output shows them, and each is still found
// (without regard to case) with its own names.
TEST(GuidTableOneBucket, ManyGuidsKeepTheirOrderAndAreEachFound) {
    GuidTable table;
    constexpr int kGuids = 20000;
    auto guidOf = [](int i) {
        char text[33];
        std::snprintf(text, sizeof text, "%029XABC", i);
        return std::string(text, 32);
    };
    for (int i = 0; i < kGuids; ++i) {
        table.AddAlias(guidOf(i), "name" + std::to_string(i));
    }
    table.AddAlias(guidOf(7), "again");
    const GuidTable::Chain& chain = table.BucketChain(GuidTable::Bucket(guidOf(0)));
    int expected = kGuids - 1;
    for (const GuidEntry& entry : chain) {
        ASSERT_EQ(entry.Guid(), guidOf(expected));
        --expected;
    }
    EXPECT_EQ(expected, -1);
    std::string lower = guidOf(7);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const GuidEntry* seven = table.Find(lower);
    ASSERT_NE(seven, nullptr);
    EXPECT_EQ(seven->Guid(), guidOf(7));
    ASSERT_NE(table.Aliases(guidOf(7)), nullptr);
    EXPECT_EQ(table.Aliases(guidOf(7))->front().name.view(), "again");
    EXPECT_EQ(table.Find(guidOf(kGuids)), nullptr);
}

} // namespace

namespace {

// The log's GUID of a live player: the slot's connection, only when its
// address is the one the server shows there now.
TEST(SlotGuids, GiveTheSlotsConnectionOnlyForItsAddress) {
    PlayerSlotTable table;
    table.SetConnection(3, kTableGuid, "192.0.2.7");
    table.SetConnection(4, "", "192.0.2.8"); // a connection line without a GUID
    SlotGuids guids(table);
    const struct {
        int slot;
        const char* ip;
        bool found;
    } cases[] = {
        {3, "192.0.2.7", true},   {3, "192.0.2.70", false}, {3, "", false},
        {4, "192.0.2.8", false},  {5, "192.0.2.7", false},  {-1, "192.0.2.7", false},
        {64, "192.0.2.7", false},
    };
    for (const auto& c : cases) {
        const auto found = guids.Find(c.slot, c.ip);
        EXPECT_EQ(found.has_value(), c.found) << c.slot << " " << c.ip;
        if (found) {
            EXPECT_EQ(*found, (KnownGuid{std::string(kTableGuid), GuidFrom::Log}));
        }
    }
}

} // namespace
