#include "Json.h"

#include "TextEscapes.h"

void AppendJsonString(std::string& out, std::string_view utf8) {
    out += '"';
    AppendEscaped(out, utf8, Escapes::JsonString);
    out += '"';
}

void AppendJsonLogText(std::string& out, std::string_view bytes) {
    out += '"';
    AppendEscapedLogText(out, bytes, Escapes::JsonString);
    out += '"';
}
