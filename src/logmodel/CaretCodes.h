#pragma once

#include <cstddef>
#include <string_view>

// The game's caret colour codes, read one token at a time. A caret followed
// by any byte other than a caret is a colour code: two bytes that show
// nothing, the second picking the colour of what follows. Two carets show one
// caret. A caret that ends the text shows nothing. Every other byte shows as
// one character.
//
// Everything that reads codes (the visible columns, the search's visible
// text, the screen, the HTML copy and the coloured names of the player
// database) steps through text with ForEachCaretToken; they differ only in
// what their handlers do with each token. The screen and the visible text show
// a doubled caret as one caret; the HTML copy writes both.
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

// One token as a handler sees it: where it starts in the text read and its
// bytes. A Character piece is a whole stretch of bytes without a caret.
struct CaretPiece {
    CaretToken token;
    std::size_t at;
    std::string_view bytes;

    std::size_t end() const { return at + bytes.size(); }
    char code() const { return bytes[1]; } // the code byte of a ColourCode
};

// Hands every token of `text` to `handler` in order; the handler returns
// false to stop there.
template <class Handler> void ForEachCaretToken(std::string_view text, Handler&& handler) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != kCaret) {
            std::size_t end = text.find(kCaret, i);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            if (!handler(CaretPiece{CaretToken::Character, i, text.substr(i, end - i)})) {
                return;
            }
            i = end;
            continue;
        }
        const CaretStep step = ReadCaretToken(text, i);
        const auto length = static_cast<std::size_t>(step.length);
        if (!handler(CaretPiece{step.token, i, text.substr(i, length)})) {
            return;
        }
        i += length;
    }
}
