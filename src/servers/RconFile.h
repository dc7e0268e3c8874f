#pragma once

#include <string>
#include <string_view>
#include <vector>

// The commands of an RCON file (Tools > Execute RCON file): every line that
// is neither empty (blanks only) nor a comment (`//` after any blanks), in
// order, without its line end and the blanks around it; bytes as in the file.
std::vector<std::string> RconFileCommands(std::string_view text);
