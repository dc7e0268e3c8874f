#include "ConfigLine.h"

#include <algorithm>

namespace {

bool IsConfigBlank(char c) {
    return c == ' ' || c == '\t';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string_view TrimConfigBlanks(std::string_view text) {
    while (!text.empty() && IsConfigBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsConfigBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameConfigName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

ConfigLine CutConfigLine(std::string_view line) {
    ConfigLine cut;
    line = TrimConfigBlanks(line);
    if (line.empty()) {
        return cut;
    }
    if (line.front() == ';') {
        cut.kind = ConfigLine::Kind::Comment;
        return cut;
    }
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        cut.kind = ConfigLine::Kind::Section;
        cut.name = line.substr(1, line.size() - 2);
        return cut;
    }
    cut.kind = ConfigLine::Kind::Bad;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return cut;
    }
    cut.key = TrimConfigBlanks(line.substr(0, equals));
    cut.value = TrimConfigBlanks(line.substr(equals + 1));
    if (!cut.key.empty() && !cut.value.empty()) {
        cut.kind = ConfigLine::Kind::KeyValue;
    }
    return cut;
}
