#pragma once

#include "CaretColourTable.h"

#include <string>
#include <string_view>
#include <vector>

// A stretch of a name shown in one colour.
struct NameColourRun {
    std::string text; // the bytes it shows, codes taken out
    Rgb colour;

    bool operator==(const NameColourRun&) const = default;
};

// A name (log bytes) cut where its colour codes change the colour, as the log
// view draws names: a caret and the byte after it pick that byte's colour and
// show nothing, two carets show one, a trailing caret shows nothing. The name
// starts in `initial`. Runs that show nothing are left out.
std::vector<NameColourRun> NameColourRuns(std::string_view name, const CaretColourTable& colours,
                                          Rgb initial);
