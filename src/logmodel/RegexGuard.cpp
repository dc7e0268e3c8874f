#include "RegexGuard.h"

#include <cstddef>
#include <string>

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

boost::regex CompileSearchExpression(std::string_view text, bool regExp, bool caseSensitive) {
    boost::regex::flag_type flags = regExp ? boost::regex::normal : boost::regex::literal;
    if (!caseSensitive) {
        flags |= boost::regex::icase;
    }
    // An empty text is malformed in both modes; the engine only refuses it
    // by itself in the literal one.
    if (text.empty()) {
        flags |= boost::regex::no_empty_expressions;
    }
    if (regExp && !CompilesSafely(text)) {
        throw boost::regex_error(boost::regex_constants::error_bad_pattern);
    }
    // Compiled from a copy: the regex parser of Boost 1.74 reads one byte past
    // the end of a pattern that ends inside a range of a set ("[a-b"), and a
    // string's terminator keeps that read inside the buffer.
    const std::string pattern(text);
    const char* first = pattern.c_str();
    return boost::regex(first, first + text.size(), flags);
}

bool IsComplexityLimit(const std::exception& error) {
    if (const auto* regexError = dynamic_cast<const boost::regex_error*>(&error)) {
        return regexError->code() == boost::regex_constants::error_complexity ||
               regexError->code() == boost::regex_constants::error_stack;
    }
    const std::string_view what = error.what();
    return what.starts_with("The complexity of matching") ||
           what.starts_with("Ran out of stack space");
}

ByteFold CaseFoldOf(const boost::regex& expression) {
    boost::regex::traits_type traits;
    traits.imbue(expression.getloc());
    ByteFold fold{};
    for (std::size_t b = 0; b < fold.size(); ++b) {
        fold[b] = static_cast<unsigned char>(traits.translate_nocase(static_cast<char>(b)));
    }
    return fold;
}
