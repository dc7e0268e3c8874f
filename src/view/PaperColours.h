#pragma once

#include "CaretColourTable.h"

// The screen draws light colours on black; paper is white. A colour that
// would be too faint on white is darkened, keeping its hue, until its
// contrast with white is at least 4.5 to 1 (the ratio asked of body text);
// colours that already read well stay as they are.
Rgb LegibleOnWhite(Rgb colour);

// The contrast ratio of a colour against white, from 1 (white itself) to 21
// (black).
double ContrastWithWhite(Rgb colour);
