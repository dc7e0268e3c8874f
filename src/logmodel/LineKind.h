#pragma once

#include "CaretColourTable.h"

#include <array>
#include <cstdint>

// The kind of a stretch of a line, stored as its byte in a segment and
// printed as that number by quarvelctl. 0..20 are the recognised kinds;
// EndMark closes a line's segment list when fewer than eight are used.
enum class LineKind : std::uint8_t {
    Unparsed = 0,  // keyword of a payload that did not parse; unknown chat name
    Text = 1,      // plain text, and the gaps between and after segments
    Keyword = 2,   // event keyword
    Team0Name = 3, // a player's name by team: Team0Name + the team digit
    Team1Name = 4,
    Team2Name = 5,
    Team3Name = 6,
    AdminChatName = 7, // administrator chat sender
    AdminName = 8,     // (no recogniser lays it)
    AdminTellName = 9, // administrator tell sender or receiver
    SlotNumber = 10,
    Address = 11, // network address
    Guid = 12,
    TeamDigit = 13,
    KillMeans = 14, // means of a kill
    Say = 15,
    TeamSay = 16,
    Tell = 17,
    AdminChat = 18,
    AdminText = 19, // (no recogniser lays it)
    AdminTell = 20,
    EndMark = 255,
};

inline constexpr int kLastKind = 20;

// The number a kind is stored and printed as.
constexpr int KindNumber(LineKind kind) {
    return static_cast<int>(kind);
}

// The name kind of a player on team `team` (0..3).
constexpr LineKind TeamNameKind(int team) {
    return static_cast<LineKind>(KindNumber(LineKind::Team0Name) + team);
}

// Which of the view's two fonts draws a kind.
enum class KindFont : std::uint8_t { Normal, Bold };

// Everything a kind means to its readers. A kind either measures and applies
// its colour codes or does neither: the columns the screen shows must be the
// columns the segments count.
struct KindTraits {
    Rgb colour;         // its own colour, when it takes none from the caret table
    int caretEntry;     // the caret code whose colour it takes, or kOwnColour
    KindFont font;      // the screen's font; the HTML copy writes bold kinds in bold
    bool codesMeasured; // its visible length counts its text without colour codes
    bool codesApplied;  // the screen draws it with its codes applied and hidden
    bool namesPlayer;   // a double-click on it opens the player's information

    static constexpr int kOwnColour = -1;
};

namespace kind_traits_detail {

constexpr KindTraits Own(Rgb colour, KindFont font) {
    return {colour, KindTraits::kOwnColour, font, false, false, false};
}
// Names take the colour of a caret code, so a team-1 name shows in the colour
// a code '1' gives.
constexpr KindTraits Name(int caretEntry, bool codes) {
    return {0, caretEntry, KindFont::Bold, codes, codes, true};
}
constexpr KindTraits Chat(int caretEntry) {
    return {0, caretEntry, KindFont::Normal, true, true, false};
}

} // namespace kind_traits_detail

inline constexpr std::array<KindTraits, kLastKind + 1> kKindTraits = [] {
    using namespace kind_traits_detail;
    return std::array<KindTraits, kLastKind + 1>{{
        Own(0xC000C0, KindFont::Bold),   // Unparsed
        Own(0xC4C4FF, KindFont::Normal), // Text
        Own(0xFFFFFF, KindFont::Bold),   // Keyword
        Name(0x37, true),                // Team0Name
        Name(0x31, false),               // Team1Name
        Name(0x34, false),               // Team2Name
        Name(0x37, true),                // Team3Name
        Name(0x36, true),                // AdminChatName
        Name(0x36, true),                // AdminName
        Name(0x36, true),                // AdminTellName
        Own(0x008080, KindFont::Bold),   // SlotNumber
        Own(0x008080, KindFont::Bold),   // Address
        Own(0xFF8080, KindFont::Bold),   // Guid
        Own(0x008080, KindFont::Bold),   // TeamDigit
        Own(0x008080, KindFont::Bold),   // KillMeans
        Chat(0x32),                      // Say
        Chat(0x32),                      // TeamSay
        Chat(0x32),                      // Tell
        Chat(0x32),                      // AdminChat
        Chat(0x32),                      // AdminText
        Chat(0x32),                      // AdminTell
    }};
}();

static_assert([] {
    for (const KindTraits& traits : kKindTraits) {
        if (traits.codesMeasured != traits.codesApplied) {
            return false;
        }
    }
    return true;
}());

// The traits of a kind; a byte beyond the recognised kinds (the end mark
// included) reads as plain text.
constexpr const KindTraits& TraitsOf(LineKind kind) {
    const auto n = static_cast<std::size_t>(KindNumber(kind));
    return n < kKindTraits.size() ? kKindTraits[n] : kKindTraits[KindNumber(LineKind::Text)];
}
