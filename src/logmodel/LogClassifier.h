#pragma once

#include "EventPatterns.h"
#include "GuidTable.h"
#include "LineFilter.h"
#include "LogLine.h"
#include "LogStore.h"
#include "PlayerSlotTable.h"
#include "SlotTimeline.h"

#include <array>
#include <memory>
#include <string_view>

using AliasMemos = std::array<AliasMemo, PlayerSlotTable::kSlotCount>;

// What the lines of one log say about its players: the slot and GUID tables
// they build, in line order, each line once, and the history the tables
// keep of it, from which any classified line's segments are laid again.
class LogClassifier {
public:
    LogClassifier();

    // Empty tables, no line classified.
    void Reset();
    // No line classified and no history, as Reset, but every slot keeps the
    // player it holds now: his name, team and a copy of his latest
    // connection, and that GUID's names. The lines of a log rotated under
    // its path go on with the players connected before the rotation.
    void RestartKeepingPlayers();

    // Lines 0 .. classifiedCount() - 1 are classified.
    int classifiedCount() const { return classifiedCount_; }
    // Classifies the lines of `store` from classifiedCount() up to, not
    // including, `end` (at most its line count): what they change in the
    // tables. A failure leaves the lines before the failing one counted.
    void ClassifyUpTo(const LogStore& store, int end);
    // The segments of classified line i, laid from its bytes and the
    // tables' history at it.
    void LaySegments(int i, LineView& line, int eventTextOffset) const;

    const PlayerSlotTable& playerSlots() const { return *playerSlots_; }
    const GuidTable& guidTable() const { return *guidTable_; }
    const EventPatterns& eventPatterns() const { return patterns_; }
    const SlotTimeline& slotTimeline() const { return timeline_; }
    const ChatNameSlots& chatNameSlots() const { return chatSlots_; }

    // The event line `text` holds when its handler takes it, which its bytes
    // alone decide. Safe to call from several threads at once.
    LineEvent RecognisedEvent(std::string_view text, int eventTextOffset) const;

private:
    // What line i, whose bytes are `text`, changes in the tables.
    void WalkLine(int i, std::string_view text, int eventTextOffset);

    std::unique_ptr<PlayerSlotTable> playerSlots_;
    std::unique_ptr<GuidTable> guidTable_;
    SlotTimeline timeline_;
    ChatNameSlots chatSlots_;
    EventPatterns patterns_;
    int classifiedCount_ = 0;

    // Scratch of the line being walked: the groups of the pattern that
    // matched it.
    PatternGroups eventGroups_;
    // The GUID and name each slot last gave the GUID table: a slot that sends
    // the same name again (a team change, say) adds nothing, and is not
    // looked up again.
    AliasMemos aliasMemos_{};
};
