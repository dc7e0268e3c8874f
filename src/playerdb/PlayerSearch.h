#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the Find player window and quarvelctl find look for, parsed from the
// text the user typed: part of a name, an address pattern, or the start of a
// GUID. Parsing says exactly what is wrong with a text that is none of these.
enum class PlayerSearchMode { Name, Address, Guid };

// The addresses an address pattern covers: those whose text is `text`
// (exact), or starts with `text` (a prefix ending in a dot; every address
// when empty); and, for a network that ends inside an octet, whose octet
// number `partialOctet` (0 to 3) lies between `low` and `high`.
struct AddressPattern {
    std::string text;
    bool exact = false;
    int partialOctet = -1; // none
    int low = 0;
    int high = 255;

    bool operator==(const AddressPattern&) const = default;
};

struct PlayerSearch {
    PlayerSearchMode mode = PlayerSearchMode::Name;
    // Name: the text the colour-free name must contain, without colour codes
    // itself, as log bytes; letters are compared without regard to case.
    std::string name;
    AddressPattern address;
    // Guid: upper-case hexadecimal digits the GUID starts with.
    std::string guidPrefix;
};

struct PlayerSearchParse {
    std::optional<PlayerSearch> search;
    std::string error; // UTF-8, when there is no search
};

// Parses `text` (log bytes) for `mode`:
// - Name: any text but an empty one; colour codes are taken out first, as the
//   harvest takes them out of the names it stores.
// - Address: four numbers 0-255 ("81.2.3.4"); one to three of them, each
//   followed by a dot ("81.2."); or a network "81.2.0.0/16" with a size of
//   0 to 32 bits (host bits are ignored). Blanks around the text are dropped.
// - Guid: 1 to 32 hexadecimal digits, any case; blanks around are dropped.
PlayerSearchParse ParsePlayerSearch(PlayerSearchMode mode, std::string_view text);
