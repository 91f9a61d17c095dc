#include "memory/Megabytes.h"

#include <cmath>

#include "platform/Errors.h"

namespace vk {

namespace {

constexpr int kBytesPerMBShift = 20;  // 1 MB = 2^20 bytes

// units / 2^shift megabytes, rounded half up to hundredths, in integers.
// Callers keep units < 2^64 when shift is 20 and units < 2^53 otherwise, so
// the remainder times 100 stays below 2^60 and nothing overflows.
std::int64_t roundedHundredths(std::uint64_t units, int shift) {
    const std::uint64_t whole = shift >= 64 ? 0 : units >> shift;
    const std::uint64_t rest = shift >= 64 ? units : units & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t scaled = rest * 100;  // < 2^60
    std::uint64_t part = 0;
    if (shift <= 61) {
        // Adding half of 2^shift before the shift rounds half up.
        part = (scaled + (std::uint64_t{1} << (shift - 1))) >> shift;
    }  // else: scaled < 2^60 <= half of 2^shift, so the part rounds to 0
    return static_cast<std::int64_t>(whole * 100 + part);  // whole < 2^44
}

}  // namespace

std::int64_t hundredthsOfMB(double bytes) {
    if (!std::isfinite(bytes)) throw OverflowError();
    // Half away from zero is symmetric: round the magnitude.
    if (bytes < 0) return -hundredthsOfMB(-bytes);
    if (bytes == 0) return 0;
    // bytes = mantissa * 2^(exponent - 53) exactly, with a 53-bit mantissa.
    int exponent = 0;
    const double fraction = std::frexp(bytes, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    if (exponent > 64) throw OverflowError();  // 2^64 bytes or more
    if (exponent >= 53) {
        return roundedHundredths(mantissa << (exponent - 53), kBytesPerMBShift);
    }
    // A fraction of a byte: count in units of 2^(exponent - 53) bytes.
    return roundedHundredths(mantissa, kBytesPerMBShift + 53 - exponent);
}

}  // namespace vk
