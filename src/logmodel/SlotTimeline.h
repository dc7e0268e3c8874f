#pragma once

#include "GameServer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// What one player slot held at a line of the log: the team of its latest
// ClientUserinfoChanged line and its latest connection (an index among the
// log's connection records, or none).
struct SlotState {
    std::int16_t team = 0;
    std::int32_t connection = kNoConnection;

    static constexpr std::int32_t kNoConnection = -1;
    bool operator==(const SlotState&) const = default;
};

// The history of the 64 slots over a log: every change of a slot's team or
// connection with the line that made it. A line's names are read long after
// the walk passed it (when it is drawn, searched or copied); the slots as
// they stood at that line are found here instead of being kept with every
// line, and only the lines that change a slot, a few in a hundred, cost
// anything.
class SlotTimeline {
public:
    static constexpr int kSlotCount = kPlayerSlotCount;

    // The slot's state from `line` on. Changes come in line order.
    void Record(int slot, int line, SlotState state);
    // The slot's state after every change at lines up to and including
    // `line`: team 0 and no connection before its first.
    SlotState At(int slot, int line) const;
    void Clear();

    struct Change {
        std::int32_t line;
        SlotState state;
    };
    // Every change of the slot, in line order.
    std::span<const Change> Changes(int slot) const {
        return changes_[static_cast<std::size_t>(slot)];
    }

private:
    std::array<std::vector<Change>, kSlotCount> changes_;
};

// For every line of the log the slots its chat names resolved to when the
// walk passed it (a chat line's sender, a tell's sender and receiver): the
// slot a name matches depends on every name change before the line, so it is
// kept, two bytes a line, rather than worked out again.
class ChatNameSlots {
public:
    static constexpr int kNone = -1;

    // `which` is 0 for the first name of the line, 1 for the second.
    void Set(int line, int which, int slot);
    int Get(int line, int which) const;
    void Clear();

private:
    static constexpr int kBlockBits = 16;
    static constexpr std::size_t kBlockEntries = std::size_t{1} << kBlockBits;
    // Slot + 1 of each name, 0 for none, in the low and the high byte.
    std::vector<std::unique_ptr<std::uint16_t[]>> blocks_;
};
