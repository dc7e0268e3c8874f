#include "WindowPlacement.h"

#include <algorithm>

QRect PlaceNewWindow(const QSize& area, int index, int step) {
    const int width = std::max(area.width(), 0);
    const int height = std::max(area.height(), 0);
    const QSize size(width * 3 / 4, height * 3 / 4);
    // The places that keep the window inside: 0, step, 2 step, ... up to the
    // room the window leaves in the narrower direction.
    const int room = std::min(width - size.width(), height - size.height());
    const int places = step > 0 ? room / step + 1 : 1;
    const int place = places > 0 ? std::max(index, 0) % places : 0;
    return {QPoint(place * step, place * step), size};
}
