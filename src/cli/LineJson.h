#pragma once

#include "LogModel.h"

#include <cstdio>
#include <string>

// Writes lines [first, end) of the log to `file` as quarvelctl prints them,
// each a JSON object on a line of its own: its number, byte and visible
// lengths, text and segments with their player links. A line's text goes out
// a piece at a time, so that a line of any length (the run of zero bytes a
// copytruncate leaves, a line of gigabytes) costs a buffer of fixed size, not
// its own size several times over.
//
// The lengths and the text are the whole line's, also past the 2 GiB that
// offsets and columns within a line reach (LineStore::kMaxLineBytes); the
// segments lie within that part.
void WriteLinesJson(std::FILE* file, const LogModel& model, long long first, long long end);

// The same a line at a time, for a caller that picks the lines (filter);
// what is gathered is written when it fills a buffer and at the end.
class LineJsonWriter {
public:
    explicit LineJsonWriter(std::FILE* file) : file_(file) {}
    ~LineJsonWriter();
    LineJsonWriter(const LineJsonWriter&) = delete;
    LineJsonWriter& operator=(const LineJsonWriter&) = delete;

    void Line(const LogModel& model, int index);

private:
    void WriteIfFull();
    void Write();

    std::FILE* file_;
    std::string out_;
};
