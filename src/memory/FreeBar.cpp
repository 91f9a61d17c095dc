#include "memory/FreeBar.h"

#include <algorithm>

#include "platform/Errors.h"
#include "platform/Numbers.h"

namespace vk {

std::int32_t freeBarWidth(std::int32_t freeMB, double barWidth, std::int32_t totalMB) {
    if (totalMB == 0) throw DivisionByZero();
    // Multiply first: a 32-bit figure times a bar width in twips is exact in
    // a double, so the one division is the only rounding before the last.
    return toInt32(static_cast<double>(freeMB) * barWidth / static_cast<double>(totalMB));
}

int freeSharePercent(std::int32_t freeMB, std::int32_t totalMB) {
    if (totalMB == 0) throw DivisionByZero();
    const double percent =
        roundHalfEven(static_cast<double>(freeMB) * 100.0 / static_cast<double>(totalMB));
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

}  // namespace vk
