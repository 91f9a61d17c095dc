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

// The free share in whole percent, what a screen reader reads from the bar:
// free x 100 / total to the nearest whole number, ties to even, held within
// 0 to 100 (the bar's range) when odd figures put free below 0 or above the
// total. Computed from the figures, not the bar's pixels, whose steps of
// about half a percent would put it off by one every so often. Throws
// DivisionByZero for a total of 0.
int freeSharePercent(std::int32_t freeMB, std::int32_t totalMB);

}  // namespace vk
