#pragma once

#include <string_view>

// One line of quarvel.cfg cut up as the reader sees it: blanks (spaces and
// tabs) around it dropped; a first ';' makes a comment; "[name]" a section
// header, its name untrimmed; otherwise "key=value" at the first '=', key
// and value trimmed of blanks. The views point into the line given.
struct ConfigLine {
    enum class Kind {
        Blank,    // nothing but blanks
        Comment,  // ';' first
        Section,  // "[name]": `name`
        KeyValue, // `key` and `value`, neither empty
        Bad,      // no '=', or an empty key or value
    };

    Kind kind = Kind::Blank;
    std::string_view name;
    std::string_view key;
    std::string_view value;
};

// `line` without its line end.
ConfigLine CutConfigLine(std::string_view line);

// The text without the spaces and tabs at either end.
std::string_view TrimConfigBlanks(std::string_view text);

// Names of sections and keys are compared without regard to (ASCII) case.
bool SameConfigName(std::string_view a, std::string_view b);
