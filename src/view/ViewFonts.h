#pragma once

#include "KindTables.h"

#include <QFont>
#include <QRawFont>
#include <array>

// One of the view's fonts, ready to draw a log byte per character cell: the
// font, the same face as a raw font, and the glyph of every byte read as
// Windows-1252. Control bytes (and the five bytes Windows-1252 leaves
// undefined) get the face's missing-glyph box, so they still take their cell
// and the columns after them stay in place.
class CellFont {
public:
    explicit CellFont(const QFont& font);

    const QFont& font() const { return font_; }
    const QRawFont& rawFont() const { return rawFont_; }

    quint32 Glyph(unsigned char byte) const { return glyphs_[byte]; }
    // False for the bytes that leave their cell empty (the spaces), which
    // need no drawing on the background.
    bool Inks(unsigned char byte) const { return inks_[byte]; }
    // From a cell's top to the baseline of its characters.
    int ascent() const { return ascent_; }

private:
    QFont font_;
    QRawFont rawFont_;
    std::array<quint32, 256> glyphs_{};
    std::array<bool, 256> inks_{};
    int ascent_ = 0;
};

// The two fonts of the view, "Courier New" at 10 points in normal and bold
// weight, and the cell they draw in. Where no fixed-pitch face answers to
// that name the system's fixed-pitch font stands in, so that every cell is
// the same width; the cell size is taken from the normal font's "A".
class ViewFonts {
public:
    ViewFonts();

    const CellFont& normalFont() const { return normalFont_; }
    const CellFont& boldFont() const { return boldFont_; }
    const CellFont& Font(KindFont which) const {
        return which == KindFont::Bold ? boldFont_ : normalFont_;
    }

    int charWidth() const { return charWidth_; }
    int lineHeight() const { return lineHeight_; }

private:
    CellFont normalFont_;
    CellFont boldFont_;
    int charWidth_ = 1;
    int lineHeight_ = 1;
};
