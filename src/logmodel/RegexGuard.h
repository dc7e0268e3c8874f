#pragma once

#include "LiteralFinder.h"

#include <boost/regex.hpp>
#include <exception>
#include <string_view>

// Whether Boost.Regex can compile `expression` (Perl syntax) in bounded time.
//
// The library's compiler (1.74) never returns from an expression in which a
// possessive repeat ("a++", "a*+", "a?+", "a{2}+") is followed by a comment
// group "(?#...)" and more text: it loops inside basic_regex's assignment.
// Such expressions are refused before they reach it; a comment in a search
// text is never needed, so the rule refuses every expression holding both.
bool CompilesSafely(std::string_view expression);

// The expression of a search text as the search compiles it: a plain text as
// a literal, letter case ignored unless asked for. Throws boost::regex_error
// when the text is empty or malformed, or cannot be compiled safely.
boost::regex CompileSearchExpression(std::string_view text, bool regExp, bool caseSensitive);

// True for the engine's own guards against runaway matching (its complexity
// and stack limits), which it raises as plain runtime errors.
bool IsComplexityLimit(const std::exception& error);

// What the engine takes for the same letter when it ignores case, so that
// quick looks and the engine agree on every byte.
ByteFold CaseFoldOf(const boost::regex& expression);
