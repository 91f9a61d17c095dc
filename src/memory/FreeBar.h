#pragma once
// The width of a free bar: the free share of the used bar's width.
#include <cstdint>

namespace vk {

// free x barWidth / total in floating point, to the nearest whole twip with
// ties to the even neighbour. Proportional on purpose: an integer twips-per-MB
// scale rounds to 1 above 2410 MB and to 0 above 7230 MB, so the green part
// would stop being the free share. Throws DivisionByZero for a total of 0 and
// OverflowError when the width does not fit 32 bits.
std::int32_t freeBarWidth(std::int32_t freeMB, double barWidth, std::int32_t totalMB);

}  // namespace vk
