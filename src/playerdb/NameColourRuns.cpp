#include "NameColourRuns.h"

#include "CaretCodes.h"

std::vector<NameColourRun> NameColourRuns(std::string_view name, const CaretColourTable& colours,
                                          Rgb initial) {
    std::vector<NameColourRun> runs;
    Rgb colour = initial;
    const auto show = [&](std::string_view text) {
        if (runs.empty() || runs.back().colour != colour) {
            runs.push_back({{}, colour});
        }
        runs.back().text += text;
    };
    // A doubled caret shows one caret, as on the screen.
    ForEachCaretToken(name, [&](const CaretPiece& piece) {
        switch (piece.token) {
        case CaretToken::Character:
            show(piece.bytes);
            break;
        case CaretToken::DoubledCaret:
            show(piece.bytes.substr(1));
            break;
        case CaretToken::ColourCode:
            colour = colours.Colour(piece.code());
            break;
        case CaretToken::TrailingCaret:
            break;
        }
        return true;
    });
    return runs;
}
