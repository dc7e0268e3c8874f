#pragma once

#include "TextPosition.h"

#include <optional>
#include <string>

// A "LINE:COLUMN" word of the search and copy commands; either number may be
// negative. Nullopt when the word is not two whole numbers that fit an int.
std::optional<TextPosition> ParsePosition(const std::string& word);
