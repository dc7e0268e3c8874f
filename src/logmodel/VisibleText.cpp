#include "VisibleText.h"

#include "CaretCodes.h"

#include <cstring>

bool IsFreeOfCarets(std::string_view raw) {
    return raw.empty() || std::memchr(raw.data(), kCaret, raw.size()) == nullptr;
}

std::string_view CopyVisibleText(std::string_view raw, std::string& buffer) {
    buffer.clear();
    AppendVisibleText(raw, buffer);
    return buffer;
}

void AppendVisibleText(std::string_view raw, std::string& out) {
    ForEachCaretToken(raw, [&out](const CaretPiece& piece) {
        if (piece.token == CaretToken::Character) {
            out.append(piece.bytes);
        } else if (piece.token == CaretToken::DoubledCaret) {
            out.push_back(kCaret); // two carets show one
        }
        return true;
    });
}
