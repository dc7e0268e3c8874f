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

std::string IndexKey(std::string_view guid) {
    std::string key(guid);
    for (char& c : key) {
        c = AsciiLower(c);
    }
    return key;
}

} // namespace

int GuidTable::Bucket(std::string_view guid) {
    int bucket = 0;
    for (std::size_t i = kGuidLength - 3; i < kGuidLength; ++i) {
        bucket = bucket << 4 | (i < guid.size() ? HexValue(guid[i]) : 0);
    }
    return bucket;
}

GuidEntry* GuidTable::FindEntry(std::string_view guid) const {
    const auto found = guidIndex_.find(IndexKey(guid));
    return found != guidIndex_.end() ? found->second : nullptr;
}

const GuidEntry* GuidTable::Find(std::string_view guid) const {
    if (guid.size() != kGuidLength) {
        return nullptr;
    }
    return FindEntry(guid);
}

const std::forward_list<AliasName>* GuidTable::Aliases(std::string_view guid) const {
    const GuidEntry* entry = Find(guid);
    return entry != nullptr ? &entry->aliases : nullptr;
}

void GuidTable::AddAlias(std::string_view guid, std::string_view name) {
    if (guid.size() != kGuidLength) {
        return;
    }
    GuidEntry* entry = FindEntry(guid);
    if (entry == nullptr) {
        Chain& chain = buckets_[static_cast<std::size_t>(Bucket(guid))];
        entry = &chain.emplace_front();
        std::copy(guid.begin(), guid.end(), entry->guid.begin());
        guidIndex_.emplace(IndexKey(guid), entry);
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
