#include "SlotTimeline.h"

#include <algorithm>

void SlotTimeline::Record(int slot, int line, SlotState state) {
    std::vector<Change>& changes = changes_[static_cast<std::size_t>(slot)];
    if (!changes.empty() && changes.back().line == line) {
        changes.back().state = state;
        return;
    }
    changes.push_back({line, state});
}

SlotState SlotTimeline::At(int slot, int line) const {
    const std::vector<Change>& changes = changes_[static_cast<std::size_t>(slot)];
    const auto after =
        std::upper_bound(changes.begin(), changes.end(), line,
                         [](int wanted, const Change& change) { return wanted < change.line; });
    return after == changes.begin() ? SlotState{} : std::prev(after)->state;
}

void SlotTimeline::Clear() {
    for (std::vector<Change>& changes : changes_) {
        changes.clear();
    }
}

void ChatNameSlots::Set(int line, int which, int slot) {
    const auto index = static_cast<std::size_t>(line);
    const std::size_t block = index >> kBlockBits;
    while (block >= blocks_.size()) {
        // Zero: no name resolved.
        blocks_.push_back(std::make_unique<std::uint16_t[]>(kBlockEntries));
    }
    std::uint16_t& entry = blocks_[block][index & (kBlockEntries - 1)];
    const int shift = which == 0 ? 0 : 8;
    entry = static_cast<std::uint16_t>((entry & ~(0xFF << shift)) | ((slot + 1) << shift));
}

int ChatNameSlots::Get(int line, int which) const {
    const auto index = static_cast<std::size_t>(line);
    const std::size_t block = index >> kBlockBits;
    if (block >= blocks_.size()) {
        return kNone;
    }
    const std::uint16_t entry = blocks_[block][index & (kBlockEntries - 1)];
    return ((entry >> (which == 0 ? 0 : 8)) & 0xFF) - 1;
}

void ChatNameSlots::Clear() {
    blocks_.clear();
}
