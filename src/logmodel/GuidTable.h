#pragma once

#include "FixedText.h"
#include "PlayerSlotTable.h"

#include <array>
#include <cstddef>
#include <forward_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// A name a GUID has been seen under, colour codes kept.
struct AliasName {
    FixedText<63> name;
};

// The connection and name a player slot last added as an alias: the same
// pair again is known to be in the table already.
struct AliasMemo {
    const ConnectionRecord* connection = nullptr;
    FixedText<63> name;
};

// One GUID with every distinct name it used, newest first.
struct GuidEntry {
    std::array<char, kGuidLength> guid; // as first seen, not terminated
    std::forward_list<AliasName> aliases;

    std::string_view Guid() const { return {guid.data(), guid.size()}; }
};

// Every GUID seen in a log with its names, in 4096 buckets chosen by the
// GUID's last three hexadecimal digits. Entries and names only accumulate.
//
// The buckets keep the order the tables are shown in; a GUID is found
// through an index of its own, so players who choose GUIDs sharing their
// last digits cannot make every connection walk one long chain.
class GuidTable {
public:
    static constexpr int kBucketCount = 4096;
    using Chain = std::forward_list<GuidEntry>;

    GuidTable() = default;
    GuidTable(const GuidTable&) = delete;
    GuidTable& operator=(const GuidTable&) = delete;

    // The bucket of a GUID: its characters 29, 30 and 31 as hexadecimal
    // digits (either case); any other character counts as 0.
    static int Bucket(std::string_view guid);

    // The entry whose GUID equals `guid` without regard to case, or null.
    // Only 32-character GUIDs can be in the table.
    const GuidEntry* Find(std::string_view guid) const;
    // That GUID's names, newest first, or null when the GUID is unknown.
    const std::forward_list<AliasName>* Aliases(std::string_view guid) const;
    // Records `name` (cut to 63 bytes) for the GUID, making its entry if
    // needed. A name already recorded with the same bytes is not added again.
    void AddAlias(std::string_view guid, std::string_view name);

    // A bucket's chain, head first.
    const Chain& BucketChain(int bucket) const {
        return buckets_[static_cast<std::size_t>(bucket)];
    }

private:
    // Which names each entry holds, so that recording a name already known
    // costs one lookup instead of a walk over every name of a GUID (a
    // long-running server's regulars gather hundreds). The views point into
    // the alias lists, whose nodes never move.
    struct AliasKey {
        const GuidEntry* entry;
        std::string_view name;
        bool operator==(const AliasKey&) const = default;
    };
    struct AliasKeyHash {
        std::size_t operator()(const AliasKey& key) const;
    };

    GuidEntry* FindEntry(std::string_view guid) const;

    std::array<Chain, kBucketCount> buckets_;
    // Every entry by its GUID in lower case (the table ignores case).
    std::unordered_map<std::string, GuidEntry*> guidIndex_;
    std::unordered_set<AliasKey, AliasKeyHash> aliasIndex_;
};
