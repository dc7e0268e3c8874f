#include "PaperColours.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLeastContrast = 4.5;

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Rgb colour) {
    return 0.2126 * Linear(static_cast<int>((colour >> 16) & 0xFF)) +
           0.7152 * Linear(static_cast<int>((colour >> 8) & 0xFF)) +
           0.0722 * Linear(static_cast<int>(colour & 0xFF));
}

Rgb Scaled(Rgb colour, double factor) {
    const auto channel = [&](int shift) {
        const double value = static_cast<double>((colour >> shift) & 0xFF) * factor;
        return static_cast<Rgb>(std::clamp(std::lround(value), 0L, 255L)) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

} // namespace

double ContrastWithWhite(Rgb colour) {
    return 1.05 / (Luminance(colour) + 0.05);
}

Rgb LegibleOnWhite(Rgb colour) {
    if (ContrastWithWhite(colour) >= kLeastContrast) {
        return colour;
    }
    // Scaling every channel alike keeps the hue; the darkest factor that
    // still passes is found by halving the interval.
    double low = 0.0; // black: always passes
    double high = 1.0;
    for (int i = 0; i < 24; ++i) {
        const double middle = (low + high) / 2;
        if (ContrastWithWhite(Scaled(colour, middle)) >= kLeastContrast) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return Scaled(colour, low);
}
