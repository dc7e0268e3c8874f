#include "RconFile.h"

std::vector<std::string> RconFileCommands(std::string_view text) {
    std::vector<std::string> commands;
    constexpr std::string_view kBlanks = " \t\r\f\v";
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t first = line.find_first_not_of(kBlanks);
        if (first == std::string_view::npos) {
            continue;
        }
        line = line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
        if (!line.starts_with("//")) {
            commands.emplace_back(line);
        }
    }
    return commands;
}
