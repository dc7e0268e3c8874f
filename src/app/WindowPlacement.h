#pragma once

#include <QRect>
#include <QSize>

// Where a new document window goes in an MDI area of size `area`: three
// quarters of the area, its top left corner `index` steps of `step` pixels
// down and to the right of the area's corner, cascading like the windows
// before it, and starting again at the corner where the next place would
// put part of the window outside the area. The window always lies inside
// the area; an area too small for it gets a window of the area's size.
QRect PlaceNewWindow(const QSize& area, int index, int step);
