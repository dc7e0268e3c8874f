#pragma once

#include "FixedText.h"
#include "GameServer.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <ranges>
#include <string_view>

inline constexpr std::size_t kGuidLength = 32;

// One recognised ClientConnect line: the player's GUID and the address the
// connection came from. Line segments point at these, so a record never
// changes or moves once made and lives as long as its table.
struct ConnectionRecord {
    std::array<char, kGuidLength> guid;   // not terminated
    FixedText<kAddressTextLimit> address; // without the port

    std::string_view Guid() const { return {guid.data(), guid.size()}; }
};

// What one of the server's player slots holds at the current point of the
// walk over a log.
struct PlayerSlot {
    FixedText<49> name; // as the log spells it, colour codes included
    std::int16_t team = 0;
    const ConnectionRecord* connection = nullptr; // the slot's latest connection
};

// The server's 64 player slots and every connection record made while
// walking the log. Nothing is ever removed: slots are overwritten, records
// accumulate (newest first) until the table is destroyed.
class PlayerSlotTable {
public:
    static constexpr int kSlotCount = kPlayerSlotCount;

    PlayerSlotTable() = default;
    PlayerSlotTable(const PlayerSlotTable&) = delete;
    PlayerSlotTable& operator=(const PlayerSlotTable&) = delete;

    static bool IsSlot(long long slot) { return slot >= 0 && slot < kSlotCount; }

    // Makes a record of the 32 GUID characters and the address (cut to 15
    // bytes) and makes it the slot's connection. `slot` must be a slot number
    // and `guid` 32 characters long.
    const ConnectionRecord& SetConnection(int slot, std::string_view guid,
                                          std::string_view address);
    // Copies the name (cut to 49 bytes) into the slot and stores the team.
    void SetNameAndTeam(int slot, std::string_view name, int team);

    // The first slot, in slot order, whose name begins with exactly these
    // bytes (case matters). An empty name matches slot 0.
    std::optional<int> FindByName(std::string_view name) const;

    const PlayerSlot& Slot(int slot) const { return slots_[static_cast<std::size_t>(slot)]; }

    // Every record made, newest first. A plain iterator pair rather than a
    // reversed view, which clang's concepts reject over this deque.
    struct NewestFirst {
        std::deque<ConnectionRecord>::const_reverse_iterator first;
        std::deque<ConnectionRecord>::const_reverse_iterator last;
        auto begin() const { return first; }
        auto end() const { return last; }
        const ConnectionRecord& front() const { return *first; }
        const ConnectionRecord& back() const { return *(last - 1); }
    };
    NewestFirst connections() const { return {connections_.rbegin(), connections_.rend()}; }
    long long connectionCount() const { return static_cast<long long>(connections_.size()); }
    // The record made `index` records after the first (0 for the first).
    const ConnectionRecord& Connection(std::int32_t index) const {
        return connections_[static_cast<std::size_t>(index)];
    }
    // The slot's connection as an index among the records, or -1.
    std::int32_t ConnectionIndex(int slot) const {
        return connectionIndexes_[static_cast<std::size_t>(slot)];
    }

private:
    std::array<PlayerSlot, kSlotCount> slots_{};
    // Oldest first: a deque keeps its elements in place as it grows at the
    // back, and makes them a block at a time rather than one by one.
    std::deque<ConnectionRecord> connections_;
    std::array<std::int32_t, kSlotCount> connectionIndexes_ = [] {
        std::array<std::int32_t, kSlotCount> none{};
        none.fill(-1);
        return none;
    }();
};
