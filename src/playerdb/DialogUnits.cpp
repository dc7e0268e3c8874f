#include "DialogUnits.h"

#include <QFontMetrics>
#include <algorithm>

DialogUnits::DialogUnits(const QFont& font) {
    // The average width over the 52 letters, rounded, as the desktop
    // measures a dialog font.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = std::max(1, (letters + 26) / 52);
    baseHeight_ = std::max(1, metrics.height());
}

int DialogUnits::X(int units) const {
    return (units * baseWidth_ + 2) / 4;
}

int DialogUnits::Y(int units) const {
    return (units * baseHeight_ + 4) / 8;
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), Y(height)};
}

QSize DialogUnits::Size(int width, int height) const {
    return {X(width), Y(height)};
}
