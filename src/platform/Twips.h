#pragma once

#include <cmath>

namespace kestro {

// Window positions and sizes are kept in twips, fifteen to a pixel.
inline constexpr double kTwipsPerPixel = 15;

inline int TwipsToPixels(double twips) {
    return int(std::lround(twips / kTwipsPerPixel));
}

inline double PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

} // namespace kestro
