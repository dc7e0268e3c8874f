#include "RegexGuard.h"

#include <cstddef>

namespace {

bool IsRepeat(char c) {
    return c == '*' || c == '+' || c == '?';
}

} // namespace

bool CompilesSafely(std::string_view expression) {
    bool possessive = false;
    bool comment = false;
    bool inClass = false;
    bool quoted = false; // between \Q and \E
    // Whether the last token was a repeat that a '+' would make possessive.
    bool afterRepeat = false;
    const std::size_t n = expression.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = expression[i];
        if (quoted) {
            if (c == '\\' && i + 1 < n && expression[i + 1] == 'E') {
                quoted = false;
                ++i;
            }
            continue;
        }
        if (c == '\\') {
            if (i + 1 < n && expression[i + 1] == 'Q') {
                quoted = true;
            }
            ++i; // the escaped character stands for itself
            afterRepeat = false;
            continue;
        }
        if (inClass) {
            if (c == ']') {
                inClass = false;
            }
            continue;
        }
        if (c == '[') {
            inClass = true;
            // A ']' right after the opening (or after '^') is a member.
            if (i + 1 < n && expression[i + 1] == '^') {
                ++i;
            }
            if (i + 1 < n && expression[i + 1] == ']') {
                ++i;
            }
            afterRepeat = false;
            continue;
        }
        if (c == '(' && i + 2 < n && expression[i + 1] == '?' && expression[i + 2] == '#') {
            comment = true;
        }
        if (c == '+' && afterRepeat) {
            possessive = true;
            afterRepeat = false;
            continue;
        }
        afterRepeat = IsRepeat(c) || c == '}';
    }
    return !(possessive && comment);
}
