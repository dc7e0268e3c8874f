#pragma once

#include "CaretColourTable.h"
#include "LineKind.h"

#include <array>
#include <cstdint>

// How each `LineKind` looks, from its traits (LineKind.h) with the caret
// colours resolved: its text colour, which of the view's two fonts draws it,
// and the style bits the HTML copy writes. The arrays, indexed by the kind's
// number, have room for 32 kinds; only 0..20 are ever set. A byte past the
// arrays (the end mark) reads as plain text.
inline constexpr int kKindTableSize = 32;

// Style bits.
inline constexpr std::uint32_t kStyleBold = 1u << 0;

struct KindTables {
    std::array<Rgb, kKindTableSize> kindColour;
    std::array<KindFont, kKindTableSize> kindFont;
    std::array<std::uint32_t, kKindTableSize> kindStyle;

    static std::size_t Index(LineKind kind) {
        const auto n = static_cast<std::size_t>(KindNumber(kind));
        return n < kKindTableSize ? n : static_cast<std::size_t>(KindNumber(LineKind::Text));
    }
    Rgb Colour(LineKind kind) const { return kindColour[Index(kind)]; }
    KindFont Font(LineKind kind) const { return kindFont[Index(kind)]; }
    std::uint32_t Style(LineKind kind) const { return kindStyle[Index(kind)]; }
};

// The tables of the screen and the copy. Names and messages take their
// colours from the caret table.
KindTables MakeKindTables(const CaretColourTable& caretColours);
