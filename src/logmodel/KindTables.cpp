#include "KindTables.h"

#include <cstddef>

KindTables MakeKindTables(const CaretColourTable& caretColours) {
    KindTables tables{};
    for (std::size_t kind = 0; kind < kKindTraits.size(); ++kind) {
        const KindTraits& traits = kKindTraits[kind];
        tables.kindColour[kind] =
            traits.caretEntry == KindTraits::kOwnColour
                ? traits.colour
                : caretColours.Colour(static_cast<unsigned char>(traits.caretEntry));
        tables.kindFont[kind] = traits.font;
        tables.kindStyle[kind] = traits.font == KindFont::Bold ? kStyleBold : 0u;
    }
    return tables;
}
