#pragma once

#include <string>
#include <string_view>

// The one place quarvelctl makes text safe for a terminal. Names, chat
// texts and whatever else a log or the player database holds may carry
// control characters: an ESC or a BEL that a terminal would take for a
// command (a title change, a screen clear), or one of the C1 controls a
// Windows-1252 byte can stand for (0x9D is an operating-system command to
// some terminals). Every command writes such text through here, so each
// control character comes out as JSON writes it ("\u001b"), whatever the
// command prints.
enum class Escapes {
    JsonString, // inside a JSON string: quotes, backslashes and every control
    Line,       // one item a line: backslashes and every control, the line feed too
    Text,       // text shown as it reads: every control but the line end (LF or CR LF)
};

// Appends UTF-8 text, escaped.
void AppendEscaped(std::string& out, std::string_view utf8, Escapes escapes);

// Appends log bytes decoded as Windows-1252, escaped. Any stretch of the
// bytes may be handed over by itself (a character is a byte), so a caller
// that writes `out` away between calls may hand over a line of any length a
// piece at a time.
void AppendEscapedLogText(std::string& out, std::string_view bytes, Escapes escapes);

// A message for the terminal (an engine's description, say), escaped as
// Escapes::Text.
std::string TerminalText(std::string_view utf8);
