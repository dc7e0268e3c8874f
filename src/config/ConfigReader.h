#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Reads a small "ini"-like text file line by line: blank lines and lines
// starting with ';' are skipped, "[name]" lines go to OnSection and
// "key=value" lines to OnKeyValue. Lines are read in pieces of at most 79
// characters, so a longer physical line is handled as several lines.
class ConfigReader {
public:
    // Line results.
    static constexpr int kHandled = 1; // handled, or a line to skip
    static constexpr int kBadLine = -1;
    static constexpr int kEndOfFile = 0;

    // Characters one read takes at most (an 80-byte line buffer).
    static constexpr int kLinePiece = 79;

    virtual ~ConfigReader() = default;

    // Reads the whole file at `path`. False when it cannot be opened or is
    // not a regular file.
    bool Load(const std::string& path);
    // Reads every line of an open file (the base of Load). False when a
    // read failed.
    bool LoadFrom(std::FILE* file);

protected:
    virtual int OnSection(const std::string& name) = 0;
    virtual int OnKeyValue(const std::string& key, const std::string& value) = 0;

private:
    int ReadLine(std::FILE* file);
    int HandleLine(std::string_view line);
};
