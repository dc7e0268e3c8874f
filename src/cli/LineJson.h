#pragma once

#include "LogLine.h"

#include <string>

// Appends one line of the log as quarvelctl prints it, a JSON object on a
// line of its own: its number, byte and visible lengths, text and segments
// with their player links.
void AppendLineJson(std::string& out, long long index, const LineView& line);
