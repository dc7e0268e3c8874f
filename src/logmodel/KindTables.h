#pragma once

#include "CaretColourTable.h"
#include "LogLine.h"

#include <array>
#include <cstdint>

// How each `LineKind` looks: its text colour, which of the view's two fonts
// draws it, and the style bits the HTML copy writes. The arrays have room for
// 32 kinds; only 0..20 are ever set or read.
inline constexpr int kKindTableSize = 32;
inline constexpr int kLastKind = 20;

enum class KindFont : std::uint8_t { Normal, Bold };

// Style bits.
inline constexpr std::uint32_t kStyleBold = 1u << 0;
inline constexpr std::uint32_t kStyleItalic = 1u << 1;

struct KindTables {
    std::array<Rgb, kKindTableSize> kindColour;
    std::array<KindFont, kKindTableSize> kindFont;
    std::array<std::uint32_t, kKindTableSize> kindStyle;
};

// The tables of the screen and the copy. Names and messages take their
// colours from the caret table, so a team-1 name shows in the colour a code
// '1' gives.
KindTables MakeKindTables(const CaretColourTable& caretColours);
