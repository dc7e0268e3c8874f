#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Maps every byte to its case-folded form; two bytes are the same letter when
// their folds are equal. The identity fold compares bytes exactly.
using ByteFold = std::array<unsigned char, 256>;
ByteFold IdentityFold();

// A quick byte search for one literal (Horspool's shift table), used to rule
// lines out before the regular-expression engine looks at them.
class LiteralFinder {
public:
    LiteralFinder(std::string_view literal, const ByteFold& fold);

    // The offset of the literal's first occurrence in `text`, or npos.
    std::size_t Find(std::string_view text) const;
    bool OccursIn(std::string_view text) const { return Find(text) != std::string_view::npos; }

    const std::string& foldedLiteral() const { return literal_; }

private:
    std::size_t FindExact(std::string_view text) const;
    std::size_t FindFolded(std::string_view text) const;

    std::string literal_; // already folded
    ByteFold fold_;
    bool exact_;
    std::array<std::size_t, 256> shift_;
};
