#pragma once

#include <string>
#include <string_view>

// Appends `utf8` to `out` as a quoted JSON string.
void AppendJsonString(std::string& out, std::string_view utf8);

// Appends log bytes to `out` as a quoted JSON string, decoded as Windows-1252.
void AppendJsonLogText(std::string& out, std::string_view bytes);
