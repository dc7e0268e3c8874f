#include "TextEscapes.h"

#include "Windows1252.h"

#include <array>

namespace {

bool IsControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

// UTF-8 of a C1 control, U+0080 to U+009F: 0xC2 and a byte of 0x80-0x9F.
bool IsC1At(std::string_view utf8, std::size_t i) {
    return static_cast<unsigned char>(utf8[i]) == 0xC2 && i + 1 < utf8.size() &&
           static_cast<unsigned char>(utf8[i + 1]) < 0xA0 &&
           static_cast<unsigned char>(utf8[i + 1]) >= 0x80;
}

bool NeedsEscape(std::string_view utf8, std::size_t i, Escapes escapes) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    switch (byte) {
    case '"':
        return escapes == Escapes::JsonString;
    case '\\':
        return escapes != Escapes::Text;
    case '\n':
        return escapes != Escapes::Text;
    case '\r':
        // A CR LF line end is kept whole in text shown as it reads.
        return escapes != Escapes::Text || i + 1 >= utf8.size() || utf8[i + 1] != '\n';
    case 0xC2:
        return IsC1At(utf8, i);
    default:
        return IsControl(byte);
    }
}

void AppendUnicodeEscape(std::string& out, unsigned code) {
    static constexpr char kHex[] = "0123456789abcdef";
    const std::array<char, 6> escaped = {
        '\\', 'u', '0', '0', kHex[(code >> 4) & 0xF], kHex[code & 0xF]};
    out.append(escaped.data(), escaped.size());
}

// The escape of the character at utf8[i]; returns the bytes it took.
std::size_t AppendEscapeAt(std::string& out, std::string_view utf8, std::size_t i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    switch (byte) {
    case '"':
        out += "\\\"";
        return 1;
    case '\\':
        out += "\\\\";
        return 1;
    case '\n':
        out += "\\n";
        return 1;
    case '\r':
        out += "\\r";
        return 1;
    case '\t':
        out += "\\t";
        return 1;
    case 0xC2:
        AppendUnicodeEscape(out, static_cast<unsigned char>(utf8[i + 1]));
        return 2;
    default:
        AppendUnicodeEscape(out, byte);
        return 1;
    }
}

} // namespace

void AppendEscaped(std::string& out, std::string_view utf8, Escapes escapes) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        // Most text needs nothing: it goes over in runs.
        std::size_t run = i;
        while (run < utf8.size() && !NeedsEscape(utf8, run, escapes)) {
            ++run;
        }
        out.append(utf8.data() + i, run - i);
        if (run == utf8.size()) {
            break;
        }
        i = run + AppendEscapeAt(out, utf8, run);
    }
}

void AppendEscapedLogText(std::string& out, std::string_view bytes, Escapes escapes) {
    // Decoded as it goes: ASCII is the same in both, and each higher byte is
    // one character. Nothing is allocated but what `out` grows by.
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t run = i;
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80 &&
               !NeedsEscape(bytes, run, escapes)) {
            ++run;
        }
        out.append(bytes.data() + i, run - i);
        if (run == bytes.size()) {
            break;
        }
        const auto byte = static_cast<unsigned char>(bytes[run]);
        if (byte < 0x80) {
            i = run + AppendEscapeAt(out, bytes, run);
            continue;
        }
        const char32_t character = Windows1252ToCodePoint(byte);
        if (character < 0xA0) {
            AppendUnicodeEscape(out, static_cast<unsigned>(character)); // a C1 control
        } else {
            AppendUtf8(out, character);
        }
        i = run + 1;
    }
}

std::string TerminalText(std::string_view utf8) {
    std::string out;
    AppendEscaped(out, utf8, Escapes::Text);
    return out;
}
