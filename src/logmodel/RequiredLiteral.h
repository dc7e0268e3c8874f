#pragma once

#include <string>
#include <string_view>

// The longest stretch of literal text that every match of a Perl-syntax
// expression contains, so a line without it can be skipped before the
// regular-expression engine runs. Empty when no such text can be named with
// certainty: the reading gives up on alternation outside groups, inline options, quoting,
// counted repeats and every escape it does not know to be a single character
// or a zero-width test. Only text outside groups is taken.
std::string RequiredLiteral(std::string_view expression);

// The same reading, keeping every stretch: the longest, and the bytes of all
// of them (each of which every match holds). Of an expression with
// alternatives at its top, no longest, but the bytes that every
// alternative's stretches hold.
struct RequiredText {
    std::string longest;
    std::string everyByte;
};
RequiredText FindRequiredText(std::string_view expression);
