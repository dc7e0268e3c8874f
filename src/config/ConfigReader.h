#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// Reads a small "ini"-like text file line by line (CutConfigLine says how a
// line is cut): blank lines and lines starting with ';' are skipped, "[name]"
// lines go to OnSection and "key=value" lines to OnKeyValue. Each physical
// line is read whole, up to kLineLimit characters; a longer one goes, whole
// and unread, to OnOverlongLine, so that no piece of it is ever taken for a
// line of its own.
class ConfigReader {
public:
    // Line results.
    static constexpr int kHandled = 1; // handled, or a line to skip
    static constexpr int kBadLine = -1;
    static constexpr int kEndOfFile = 0;

    // The longest line read, line end excluded: room for the longest value
    // of any key with its key and blanks, far from what a hand-written file
    // holds.
    static constexpr std::size_t kLineLimit = 4096;

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
    // A line longer than kLineLimit, which is skipped to its end unread.
    virtual int OnOverlongLine() { return kBadLine; }

    // The number of the line being handled, counted from 1.
    std::size_t lineNumber() const { return lineNumber_; }

private:
    int ReadLine(std::FILE* file);
    int HandleLine(std::string_view line);

    std::size_t lineNumber_ = 0;
};
