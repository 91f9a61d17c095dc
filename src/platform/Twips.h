#pragma once
// Positions and sizes are twips in the model (1440 per inch). A screen shows
// whole pixels, so a backend snaps what it is given to its pixel grid and
// reports back what it really shows.
#include <cmath>

#include "platform/Errors.h"

namespace vk {

constexpr int kTwipsPerInch = 1440;

// Twips per pixel for a logical DPI: 15 at 96 DPI, 12 at 120 DPI.
constexpr double twipsPerPixel(double dpi) {
    return kTwipsPerInch / dpi;
}

inline int twipsToPixels(double twips, double perPixel) {
    return static_cast<int>(std::lround(twips / perPixel));
}

inline double pixelsToTwips(int pixels, double perPixel) {
    return pixels * perPixel;
}

// What a screen with this pixel size really shows for a twips value.
inline double snapTwips(double twips, double perPixel) {
    return pixelsToTwips(twipsToPixels(twips, perPixel), perPixel);
}

// Twips <-> pixels at one screen's ratio, with the checks a property needs.
// Every backend converts through this, so all screens round alike.
class PixelScale {
  public:
    explicit PixelScale(double twipsPerPixel) : perPixel_(twipsPerPixel) {}
    double twipsPerPixel() const { return perPixel_; }
    // Nearest pixel, halves away from zero. Throws PropertyRefused for values
    // no screen can show (not finite, out of range, or a negative size).
    int toPixels(double twips, bool isSize) const {
        const double pixels = std::round(twips / perPixel_);
        if (!std::isfinite(pixels) || std::fabs(pixels) > kLargestPixels ||
            (isSize && pixels < 0)) {
            throw PropertyRefused("invalid property value");
        }
        return static_cast<int>(pixels);
    }
    double toTwips(int pixels) const { return pixels * perPixel_; }

  private:
    // Far beyond any screen, well inside int.
    static constexpr double kLargestPixels = 1 << 24;
    double perPixel_;
};

}  // namespace vk
