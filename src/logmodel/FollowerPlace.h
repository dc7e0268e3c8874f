#pragma once

#include "FileMapping.h"
#include "HarvestSlot.h"

#include <cstdint>
#include <optional>
#include <string>

// Which follower a place belongs to: the machine it runs on and the log it
// follows there. Two game servers on two machines may well write logs under
// the same path.
struct FollowerKey {
    std::string host;
    std::string logPath;

    bool operator==(const FollowerKey&) const = default;
};

// How far a follower has harvested its log, stored in the player database in
// the same transaction as every batch, so that a follower started again goes
// on where the last one stopped, whatever way it stopped.
//
// The file is known by its identity and a hash of its first bytes: a file
// renamed away and another created under the path, or the same file
// truncated and written again, no longer fits, and is harvested from its
// beginning.
struct FollowerPlace {
    FollowerKey key;
    FileIdentity file;
    std::uint64_t headLength = 0; // how many first bytes the hash covers
    std::uint64_t headHash = 0;   // FNV-1a of those bytes
    std::int64_t offset = 0;      // where the first line not harvested yet starts
    // The slots the harvest had filled by then: a name line after the offset
    // may belong to a connection line before it.
    HarvestSlots harvestSlots{};

    bool operator==(const FollowerPlace& other) const;
};

inline bool FollowerPlace::operator==(const FollowerPlace& other) const {
    if (!(key == other.key && file == other.file && headLength == other.headLength &&
          headHash == other.headHash && offset == other.offset)) {
        return false;
    }
    for (std::size_t i = 0; i < harvestSlots.size(); ++i) {
        const HarvestSlot& a = harvestSlots[i];
        const HarvestSlot& b = other.harvestSlots[i];
        if (a.connected != b.connected ||
            (a.connected && (a.guidKey != b.guidKey || a.address.view() != b.address.view()))) {
            return false;
        }
    }
    return true;
}

// Whether `place` is a place in the file of identity `file` and `size` bytes
// whose first bytes hash as `headHashOf(length)` says (an optional hash).
template <typename HeadHashOf>
bool PlaceFits(const FollowerPlace& place, const std::optional<FileIdentity>& file,
               std::int64_t size, const HeadHashOf& headHashOf) {
    if (!file || *file != place.file || place.offset < 0 || place.offset > size ||
        place.headLength > static_cast<std::uint64_t>(size)) {
        return false;
    }
    const std::optional<std::uint64_t> hash =
        headHashOf(static_cast<std::size_t>(place.headLength));
    return hash && *hash == place.headHash;
}
