#pragma once

#include <string>
#include <string_view>

// Log bytes are Windows-1252 text. These convert at the edges where text
// meets Qt, JSON or HTML. The five bytes Windows-1252 leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the code point of the same value, so every
// byte survives a round trip.

// The Unicode code point of one byte.
char32_t Windows1252ToCodePoint(unsigned char byte);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// The bytes as UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 text back to Windows-1252 bytes; a character with no byte becomes '?'.
std::string Utf8ToWindows1252(std::string_view utf8);
