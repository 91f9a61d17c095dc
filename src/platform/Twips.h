#pragma once
// Positions and sizes are twips in the model (1440 per inch). A screen shows
// whole pixels, so a backend snaps what it is given to its pixel grid and
// reports back what it really shows.
#include <cmath>

namespace vk {

constexpr int kTwipsPerInch = 1440;

// Twips per pixel for a logical DPI: 15 at 96 DPI, 12 at 120 DPI.
constexpr double twipsPerPixel(double dpi) { return kTwipsPerInch / dpi; }

inline int twipsToPixels(double twips, double perPixel) {
    return static_cast<int>(std::lround(twips / perPixel));
}

inline double pixelsToTwips(int pixels, double perPixel) { return pixels * perPixel; }

// What a screen with this pixel size really shows for a twips value.
inline double snapTwips(double twips, double perPixel) {
    return pixelsToTwips(twipsToPixels(twips, perPixel), perPixel);
}

}  // namespace vk
