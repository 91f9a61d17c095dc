#pragma once
// The megabyte rounding rules of the memory figures, as pure functions.
// 1 MB = 1,048,576 bytes.
#include <cstdint>

namespace vk {

// Bytes as megabytes rounded to two decimals, half away from zero, returned
// as a whole number of hundredths (1,610,612,736 bytes -> 153600). Exact for
// every finite count below 2^64 in magnitude, fractions of a byte included:
// no step multiplies in floating point, so nothing is lost at .xx5.
// Throws OverflowError for larger counts, infinities and NaN.
std::int64_t hundredthsOfMB(double bytes);

}  // namespace vk
