#pragma once
// Twips <-> pixels at the screen's logical DPI, with the checks a property
// needs: a value no screen can show is refused, never passed on.
#include <cmath>

#include "platform/Errors.h"

namespace vk::win32 {

class PixelScale {
  public:
    explicit PixelScale(double twipsPerPixel) : perPixel_(twipsPerPixel) {}
    double twipsPerPixel() const { return perPixel_; }

    // Whole pixels for a twips value, rounded to nearest. Throws
    // PropertyRefused for values that are not finite, far beyond any
    // screen, or a negative size.
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
    // Far beyond any screen, well inside the 16-bit-safe range of window
    // coordinates Windows keeps.
    static constexpr double kLargestPixels = 30000;
    double perPixel_;
};

}  // namespace vk::win32
