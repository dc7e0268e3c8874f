#include "RequiredLiteral.h"

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

} // namespace

RequiredText FindRequiredText(std::string_view e) {
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

std::string RequiredLiteral(std::string_view expression) {
    return FindRequiredText(expression).longest;
}
