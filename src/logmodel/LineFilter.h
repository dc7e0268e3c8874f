#pragma once

#include "LineSet.h"

#include <cstdint>
#include <optional>
#include <string>

// What a line of the log is, as far as filters go: the event its keyword
// names, when the event's handler takes the line (a line whose payload does
// not parse is no event). It depends on the line's bytes alone.
enum class LineEvent : std::uint8_t {
    None,
    Chat,    // say, sayteam, tell, admchat, admtalk, admtell
    Kill,    // Kill
    Connect, // ClientConnect
    Rename,  // ClientUserinfoChanged: a player's name and team set
};

// A set of events, one bit each.
class EventKinds {
public:
    EventKinds() = default;
    EventKinds& Add(LineEvent event) {
        bits_ |= Bit(event);
        return *this;
    }
    bool Has(LineEvent event) const { return (bits_ & Bit(event)) != 0; }
    bool Empty() const { return bits_ == 0; }
    bool operator==(const EventKinds&) const = default;

private:
    static std::uint8_t Bit(LineEvent event) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(event));
    }
    std::uint8_t bits_ = 0;
};

// One criterion of a filter: each can be turned into its opposite (exclude:
// the lines it does not take).

// Text or a regular expression over the line's visible text (colour codes
// hidden where the screen hides them), with the search's options: a line is
// taken when a search of its whole visible text finds a match.
struct TextCriterion {
    std::string text;
    bool regExp = false;
    bool caseSensitive = false;
    bool exclude = false;
};

// The lines of any of these events.
struct KindCriterion {
    EventKinds kinds;
    bool exclude = false;
};

// One player by GUID (any letter case): his ClientConnect lines, and every
// line a stretch of which names him (his renames, kills by him or of him,
// his chat and tells, tells to him), whatever name he had then.
struct PlayerCriterion {
    std::string guid;
    bool exclude = false;
};

// Lines the caller names (marks).
struct MarkCriterion {
    LineSet lines;
    bool exclude = false;
};

// A filter: the lines every given criterion takes (AND); with `exclude`, the
// lines it does not take (NOT of the whole). No criterion takes every line.
struct LineFilter {
    std::optional<TextCriterion> text;
    std::optional<KindCriterion> kinds;
    std::optional<PlayerCriterion> player;
    std::optional<MarkCriterion> marks;
    bool exclude = false;

    // True when the filter reads what the classification found: the events
    // and the players of lines.
    bool readsEvents() const { return kinds.has_value() || player.has_value(); }
};
