#include "RequiredLiteral.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Escapes that stand for one character class or a zero-width test: they end
// a literal stretch but take nothing after them.
bool IsSimpleClassOrTest(char c) {
    switch (c) {
    case 'd':
    case 'D':
    case 'w':
    case 'W':
    case 's':
    case 'S':
    case 'b':
    case 'B':
    case '<':  // start of a word
    case '>':  // end of a word
    case '`':  // start of the text
    case '\'': // end of the text
        return true;
    default:
        return false;
    }
}

// The index just after the bracket expression that starts at `open`, or
// nullopt when it does not end.
std::optional<std::size_t> SkipBracketExpression(std::string_view e, std::size_t open) {
    std::size_t j = open + 1;
    if (j < e.size() && e[j] == '^') {
        ++j;
    }
    if (j < e.size() && e[j] == ']') {
        ++j; // a leading ']' is a member
    }
    while (j < e.size()) {
        const char c = e[j];
        if (c == ']') {
            return j + 1;
        }
        if (c == '\\') {
            j += 2;
        } else if (c == '[' && j + 1 < e.size() &&
                   (e[j + 1] == ':' || e[j + 1] == '=' || e[j + 1] == '.')) {
            // [:alpha:], [=a=], [.a.]: ends at the same mark followed by ']'.
            const char mark = e[j + 1];
            std::size_t k = j + 2;
            while (k + 1 < e.size() && !(e[k] == mark && e[k + 1] == ']')) {
                ++k;
            }
            if (k + 1 >= e.size()) {
                return std::nullopt;
            }
            j = k + 2;
        } else {
            ++j;
        }
    }
    return std::nullopt;
}

class LiteralCollector {
public:
    void Add(char c, int depth) {
        if (depth == 0) {
            current_.push_back(c);
        }
    }
    // The last character is repeated zero or more times: it is not required.
    void DropLast() {
        if (!current_.empty()) {
            current_.pop_back();
        }
        End();
    }
    void End() {
        if (current_.size() > longest_.size()) {
            longest_ = current_;
        }
        every_ += current_;
        current_.clear();
    }
    RequiredText Result() {
        End();
        return {longest_, every_};
    }

private:
    std::string current_;
    std::string longest_;
    std::string every_;
};

// The expression cut at its top-level bars; nothing when it cannot be cut
// with certainty (an unclosed bracket expression).
std::optional<std::vector<std::string_view>> TopLevelAlternatives(std::string_view e) {
    std::vector<std::string_view> alternatives;
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t i = 0; i < e.size();) {
        switch (e[i]) {
        case '\\':
            i += 2;
            continue;
        case '[': {
            const auto after = SkipBracketExpression(e, i);
            if (!after) {
                return std::nullopt;
            }
            i = *after;
            continue;
        }
        case '(':
            ++depth;
            break;
        case ')':
            --depth;
            break;
        case '|':
            if (depth == 0) {
                alternatives.push_back(e.substr(start, i - start));
                start = i + 1;
            }
            break;
        default:
            break;
        }
        ++i;
    }
    alternatives.push_back(e.substr(std::min(start, e.size())));
    return alternatives;
}

RequiredText FindRequiredTextOfBranch(std::string_view e);

} // namespace

// Alternatives at the top leave no one text every match holds, but a match
// holds one alternative's text: a byte that every alternative's text holds
// is held by every match.
RequiredText FindRequiredText(std::string_view e) {
    const auto alternatives = TopLevelAlternatives(e);
    if (!alternatives) {
        return {};
    }
    if (alternatives->size() == 1) {
        return FindRequiredTextOfBranch(e);
    }
    std::string common;
    for (std::size_t a = 0; a < alternatives->size(); ++a) {
        const std::string bytes = FindRequiredTextOfBranch((*alternatives)[a]).everyByte;
        if (a == 0) {
            common = bytes;
        } else {
            std::erase_if(common, [&bytes](char c) { return bytes.find(c) == std::string::npos; });
        }
        if (common.empty()) {
            return {};
        }
    }
    std::sort(common.begin(), common.end());
    common.erase(std::unique(common.begin(), common.end()), common.end());
    return {std::string(), common};
}

namespace {

RequiredText FindRequiredTextOfBranch(std::string_view e) {
    LiteralCollector literals;
    int depth = 0;
    std::size_t i = 0;
    while (i < e.size()) {
        const char c = e[i];
        switch (c) {
        case '|':
            // Alternatives inside a group leave the text around the group
            // required; at the top they leave nothing certain.
            if (depth == 0) {
                return {};
            }
            ++i;
            break;
        case '{':
            return {};
        case '(':
            if (i + 1 < e.size() && (e[i + 1] == '?' || e[i + 1] == '*')) {
                return {}; // options, look-arounds, comments, verbs
            }
            ++depth;
            literals.End();
            ++i;
            break;
        case ')':
            if (--depth < 0) {
                return {};
            }
            literals.End();
            ++i;
            break;
        case '[': {
            const auto after = SkipBracketExpression(e, i);
            if (!after) {
                return {};
            }
            literals.End();
            i = *after;
            break;
        }
        case '*':
        case '?':
            literals.DropLast();
            ++i;
            break;
        case '+': // the character before is there at least once
        case '.':
        case '^':
        case '$':
        case ']':
        case '}':
            literals.End();
            ++i;
            break;
        case '\\': {
            if (i + 1 >= e.size()) {
                return {};
            }
            const char escaped = e[i + 1];
            if (IsSimpleClassOrTest(escaped)) {
                literals.End();
            } else if (IsAsciiAlnum(escaped)) {
                return {};
            } else {
                literals.Add(escaped, depth);
            }
            i += 2;
            break;
        }
        default:
            literals.Add(c, depth);
            ++i;
            break;
        }
    }
    return literals.Result();
}

} // namespace

std::string RequiredLiteral(std::string_view expression) {
    return FindRequiredText(expression).longest;
}
