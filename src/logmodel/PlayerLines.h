#pragma once

#include "LineSet.h"

#include <cstdint>
#include <string>
#include <vector>

class LogModel;

// The lines of one player, by his GUID: his ClientConnect lines and every
// line a stretch of which names a connection of his (the names of his
// ClientUserinfoChanged lines, kills by him or of him, his chat and tells and
// tells to him), whatever name he had then.
//
// Found from the classification's history rather than by laying every line:
// the slot timeline says over which lines a slot held one of his connections;
// within those, the lines that changed the slot, the chat lines whose names
// resolved to the slot, and the kill lines that name the slot's number (each
// confirmed by laying it) are his. Reads classified lines only.
class PlayerLines {
public:
    // `guid` in any letter case.
    explicit PlayerLines(std::string guid);

    // Adds his lines among [first, end) to `into`; `end` is at most the
    // model's classifiedCount().
    void Collect(const LogModel& model, int first, int end, LineSet& into);

private:
    // True when connection record `index` is one of his.
    bool IsHis(std::int32_t index) const {
        return index >= 0 && static_cast<std::size_t>(index) < his_.size() &&
               his_[static_cast<std::size_t>(index)] != 0;
    }
    bool SameGuid(std::string_view guid) const;
    void CollectSlot(const LogModel& model, int slot, int first, int end, LineSet& into) const;

    std::string guid_;
    // For every connection record looked at so far, whether it is his.
    std::vector<std::uint8_t> his_;
};
