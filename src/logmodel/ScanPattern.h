#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where a colour code may begin inside a match of a text, and the bytes the
// match may go on with after it.
struct CodeStart {
    std::string pattern;
    std::bitset<256> next;
};

// A search text in the syntax of the scanning engine (Hyperscan), which runs
// over a whole stretch of lines at once, where Boost.Regex, the reference of
// what a match is, runs one line at a time.
//
// Only what both engines are known to read alike is translated: literal
// bytes, any byte (.), classes of bytes, \d \w \s and their opposites, \t,
// escaped punctuation, groups, alternatives and repeats. Anchors, word
// boundaries, look-arounds, back-references, options and every other escape
// are not: such a text is left to Boost.Regex alone. Every piece becomes a
// set of bytes, letter case folded into it when case is ignored (as the C
// locale folds: the caller checks that Boost.Regex folds the same), so the
// engine runs without case options.
struct ScanPatterns {
    // Matches the bytes of a stretch of lines exactly where Boost.Regex
    // matches a line of it that holds no caret and no CR (the line as its
    // own text): no piece takes a line end or a CR, so no match crosses from
    // one line into the next or takes the CR before a line end.
    std::string exact;
    // Matches wherever `exact` does, and wherever a line's bytes would hold a
    // match once some of its colour codes were hidden (any of them, in any
    // stretch): a line it finds nothing in shows no match, whichever
    // stretches hide their codes. Every piece may be followed by colour
    // codes, and a piece that takes a caret may take a doubled one.
    std::string tolerant;
    // Where a colour code or caret may lie inside a match: each pattern
    // matches a piece of the text (with up to a few before it) and a caret,
    // where the first code hidden inside a match would begin; such a code
    // goes on with a byte of `next` once it ends. A line whose bytes hold a
    // match of `tolerant` holds an exact match or one of these, as what a
    // stretch hides begins with a caret. Built only for texts of pieces that
    // never take a caret, with alternatives at the top only (no groups):
    // nothing otherwise, and none when no match can have a code inside (a
    // single byte). Unlike `tolerant`, whose every piece may be followed by
    // codes, these are literals where the text is, which the engine compiles
    // in a moment and scans for at memory speed.
    std::optional<std::vector<CodeStart>> codeStarts;
};

// Nothing when the text holds what is not translated, or a line end or CR
// (which no line holds and no match of a line may take).
std::optional<ScanPatterns> TranslateForScan(std::string_view text, bool regExp,
                                             bool caseSensitive);
