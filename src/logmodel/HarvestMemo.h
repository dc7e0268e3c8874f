#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// What one harvest run has learnt from the player database: the keys of the
// GUIDs it looked up or added, and the sightings it found or stored. The
// harvest only ever adds rows, so an answer stays true for the rest of the
// run; asking the database again for every line would cost a round trip each,
// which on a database server is most of a harvest's time. Every run starts
// with an empty memo and asks afresh. Only answers the database gave are kept,
// keyed by the exact bytes asked about, so the memo never says yes where the
// database would have said no.
//
// Within a step, what the step itself added is an answer only once the step
// commits: a step given up (a conflict with another writer, a lost
// connection) takes its rows along, so what it taught is forgotten too.
class HarvestMemo {
public:
    void Clear() {
        guids_.clear();
        sightings_.clear();
        stepGuids_.clear();
        stepSightings_.clear();
    }

    // What is learnt from here on is forgotten again by RollbackStep...
    void BeginStep() {
        stepGuids_.clear();
        stepSightings_.clear();
    }
    // ...unless the step commits.
    void CommitStep() { BeginStep(); }
    void RollbackStep() {
        for (const std::string& guid : stepGuids_) {
            guids_.erase(guid);
        }
        for (const std::string& sighting : stepSightings_) {
            sightings_.erase(sighting);
        }
        BeginStep();
    }

    std::optional<std::int32_t> GuidKey(std::string_view guid) const {
        const auto found = guids_.find(guid);
        return found == guids_.end() ? std::nullopt : std::optional<std::int32_t>(found->second);
    }
    void RememberGuid(std::string_view guid, std::int32_t key) {
        if (guids_.emplace(std::string(guid), key).second) {
            stepGuids_.emplace_back(guid);
        }
    }

    bool KnowsSighting(std::int32_t guidKey, std::string_view ipFull,
                       std::string_view nameFormatted) {
        return sightings_.contains(std::string_view(SightingKey(guidKey, ipFull, nameFormatted)));
    }
    void RememberSighting(std::int32_t guidKey, std::string_view ipFull,
                          std::string_view nameFormatted) {
        if (sightings_.emplace(SightingKey(guidKey, ipFull, nameFormatted)).second) {
            stepSightings_.push_back(key_);
        }
    }

private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;
    using TextMap = std::unordered_map<std::string, std::int32_t, TextHash, std::equal_to<>>;

    // The three values in one text: the key's 4 bytes, then the address
    // (never more than 15 bytes) with its length in front, then the name.
    const std::string& SightingKey(std::int32_t guidKey, std::string_view ipFull,
                                   std::string_view nameFormatted) {
        key_.assign(reinterpret_cast<const char*>(&guidKey), sizeof guidKey);
        key_.push_back(static_cast<char>(ipFull.size()));
        key_.append(ipFull);
        key_.append(nameFormatted);
        return key_;
    }

    TextMap guids_;
    TextSet sightings_;
    std::vector<std::string> stepGuids_; // learnt in the open step
    std::vector<std::string> stepSightings_;
    std::string key_; // scratch, keeps its capacity
};
