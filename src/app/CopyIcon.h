#pragma once

#include <QIcon>

// The Copy command's picture: the desktop theme's "edit-copy" where the theme
// has one, else two overlapping pages with lines of text, drawn here in the
// sizes a toolbar and a menu use.
QIcon CopyIcon();

// The drawn picture alone, whatever the theme has.
QIcon DrawnCopyIcon();
