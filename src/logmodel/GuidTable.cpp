#include "GuidTable.h"

#include <algorithm>
#include <functional>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 0;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameGuid(const GuidEntry& entry, std::string_view guid) {
    return std::equal(entry.guid.begin(), entry.guid.end(), guid.begin(), guid.end(),
                      [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
}

// The entry of a chain for `guid`, or null; const or not as the chain is.
template <typename Chain>
auto FindInChain(Chain& chain, std::string_view guid) -> decltype(&chain.front()) {
    for (auto& entry : chain) {
        if (SameGuid(entry, guid)) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

int GuidTable::Bucket(std::string_view guid) {
    int bucket = 0;
    for (std::size_t i = kGuidLength - 3; i < kGuidLength; ++i) {
        bucket = bucket << 4 | (i < guid.size() ? HexValue(guid[i]) : 0);
    }
    return bucket;
}

const GuidEntry* GuidTable::Find(std::string_view guid) const {
    if (guid.size() != kGuidLength) {
        return nullptr;
    }
    return FindInChain(BucketChain(Bucket(guid)), guid);
}

const std::forward_list<AliasName>* GuidTable::Aliases(std::string_view guid) const {
    const GuidEntry* entry = Find(guid);
    return entry != nullptr ? &entry->aliases : nullptr;
}

void GuidTable::AddAlias(std::string_view guid, std::string_view name) {
    if (guid.size() != kGuidLength) {
        return;
    }
    Chain& chain = buckets_[static_cast<std::size_t>(Bucket(guid))];
    GuidEntry* entry = FindInChain(chain, guid);
    if (entry == nullptr) {
        entry = &chain.emplace_front();
        std::copy(guid.begin(), guid.end(), entry->guid.begin());
    }
    // Names are compared as the table keeps them: cut to their limit.
    const AliasName alias{FixedText<63>(name)};
    // A player mostly keeps the name he last used, which is the newest.
    if (!entry->aliases.empty() && entry->aliases.front().name.view() == alias.name.view()) {
        return;
    }
    if (aliasIndex_.contains(AliasKey{entry, alias.name.view()})) {
        return;
    }
    const AliasName& added = entry->aliases.emplace_front(alias);
    aliasIndex_.insert(AliasKey{entry, added.name.view()});
}

std::size_t GuidTable::AliasKeyHash::operator()(const AliasKey& key) const {
    return std::hash<std::string_view>()(key.name) ^ std::hash<const GuidEntry*>()(key.entry);
}
