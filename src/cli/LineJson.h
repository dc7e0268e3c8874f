#pragma once

#include "LogModel.h"

#include <cstdio>

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
