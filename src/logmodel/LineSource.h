#pragma once

#include "LogLine.h"

// The lines a search or a copy reads, by index. The lines of one source lie
// one after another in one block of memory, as the lines of a mapped file do,
// with their line ends between them.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual int lineCount() const = 0;
    // 0 <= i < lineCount(). Not const: a store may make a page on first touch.
    virtual const LogLine& Line(int i) = 0;
};
