#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Places controls by dialog units, the measure the program's dialog layouts
// are given in: a quarter of the font's average character width across and
// an eighth of its height down, so a layout grows with its font.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

private:
    int X(int units) const;
    int Y(int units) const;

    int baseWidth_;
    int baseHeight_;
};
