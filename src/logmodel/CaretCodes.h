#pragma once

#include <string_view>

// The game's caret colour codes, read one token at a time. A caret followed
// by any byte other than a caret is a colour code: two bytes that show
// nothing, the second picking the colour of what follows. Two carets show one
// caret. A caret that ends the text shows nothing. Every other byte shows as
// one character.
//
// Everything that reads codes (the visible columns, the search's visible
// text, the screen and the HTML copy) steps through text with this one
// reader; they differ only in what they do with each token.
enum class CaretToken {
    Character,     // one byte that shows as itself
    ColourCode,    // a caret and its code byte: shows nothing
    DoubledCaret,  // two carets: show one caret
    TrailingCaret, // a caret at the end: shows nothing
};

inline constexpr char kCaret = '^';

struct CaretStep {
    CaretToken token;
    int length; // bytes the token takes: 1 or 2
    bool shows() const {
        return token == CaretToken::Character || token == CaretToken::DoubledCaret;
    }
};

// The token at text[i], 0 <= i < text.size().
inline CaretStep ReadCaretToken(std::string_view text, std::size_t i) {
    if (text[i] != kCaret) {
        return {CaretToken::Character, 1};
    }
    if (i + 1 >= text.size()) {
        return {CaretToken::TrailingCaret, 1};
    }
    return text[i + 1] == kCaret ? CaretStep{CaretToken::DoubledCaret, 2}
                                 : CaretStep{CaretToken::ColourCode, 2};
}
