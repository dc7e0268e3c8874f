#pragma once

#include <string_view>

// Whether Boost.Regex can compile `expression` (Perl syntax) in bounded time.
//
// The library's compiler (1.74) never returns from an expression in which a
// possessive repeat ("a++", "a*+", "a?+", "a{2}+") is followed by a comment
// group "(?#...)" and more text: it loops inside basic_regex's assignment.
// Such expressions are refused before they reach it; a comment in a search
// text is never needed, so the rule refuses every expression holding both.
bool CompilesSafely(std::string_view expression);
