#include "KindTables.h"

#include <cstddef>

namespace {

struct KindLook {
    Rgb colour;     // used when no caret entry is named
    int caretEntry; // -1: use `colour`
    KindFont font;
};

constexpr int kOwnColour = -1;

constexpr std::array<KindLook, kLastKind + 1> kLooks = {{
    {0xC000C0, kOwnColour, KindFont::Bold},   // 0 unparsed event keyword, unknown chat name
    {0xC4C4FF, kOwnColour, KindFont::Normal}, // 1 plain text and gaps
    {0xFFFFFF, kOwnColour, KindFont::Bold},   // 2 event keyword
    {0, 0x37, KindFont::Bold},                // 3 name, team 0
    {0, 0x31, KindFont::Bold},                // 4 name, team 1
    {0, 0x34, KindFont::Bold},                // 5 name, team 2
    {0, 0x37, KindFont::Bold},                // 6 name, team 3
    {0, 0x36, KindFont::Bold},                // 7 administrator chat sender
    {0, 0x36, KindFont::Bold},                // 8 (no recogniser sets it)
    {0, 0x36, KindFont::Bold},                // 9 administrator tell sender or receiver
    {0x008080, kOwnColour, KindFont::Bold},   // 10 slot number
    {0x008080, kOwnColour, KindFont::Bold},   // 11 network address
    {0xFF8080, kOwnColour, KindFont::Bold},   // 12 GUID
    {0x008080, kOwnColour, KindFont::Bold},   // 13 team digit
    {0x008080, kOwnColour, KindFont::Bold},   // 14 means of a kill
    {0, 0x32, KindFont::Normal},              // 15 say
    {0, 0x32, KindFont::Normal},              // 16 team say
    {0, 0x32, KindFont::Normal},              // 17 tell
    {0, 0x32, KindFont::Normal},              // 18 administrator chat
    {0, 0x32, KindFont::Normal},              // 19 (no recogniser sets it)
    {0, 0x32, KindFont::Normal},              // 20 administrator tell
}};

} // namespace

KindTables MakeKindTables(const CaretColourTable& caretColours) {
    KindTables tables{};
    for (std::size_t kind = 0; kind < kLooks.size(); ++kind) {
        const KindLook& look = kLooks[kind];
        tables.kindColour[kind] =
            look.caretEntry == kOwnColour
                ? look.colour
                : caretColours.Colour(static_cast<unsigned char>(look.caretEntry));
        tables.kindFont[kind] = look.font;
        // The copy writes bold kinds in bold; nothing is italic.
        tables.kindStyle[kind] = look.font == KindFont::Bold ? kStyleBold : 0u;
    }
    return tables;
}
