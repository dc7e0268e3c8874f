#pragma once

#include <array>
#include <cstdint>

// A colour as the number 0xRRGGBB.
using Rgb = std::uint32_t;

// The colours of the game's caret codes, indexed by the byte after the caret.
// The screen and the HTML copy each build one; both hold the same values.
class CaretColourTable {
public:
    static constexpr int kEntries = 128;

    CaretColourTable();

    // The colour a code byte selects. Bytes 0x80 and above have no entry of
    // their own and take the last one.
    Rgb Colour(unsigned char code) const { return colours_[code < kEntries ? code : kEntries - 1]; }
    Rgb Colour(char code) const { return Colour(static_cast<unsigned char>(code)); }

    const std::array<Rgb, kEntries>& colours() const { return colours_; }

private:
    std::array<Rgb, kEntries> colours_;
};
