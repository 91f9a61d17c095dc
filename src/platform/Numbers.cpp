#include "platform/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Errors.h"

namespace vk {

double roundHalfEven(double value) {
    // nearbyint uses the current rounding mode, which we never change from
    // round-to-nearest-even; spell the rule out so it holds regardless.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {
template <class Int>
Int toChecked(double value) {
    if (!std::isfinite(value)) throw OverflowError();
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        throw OverflowError();
    }
    return static_cast<Int>(rounded);
}
}  // namespace

std::int16_t toInt16(double value) {
    return toChecked<std::int16_t>(value);
}
std::int32_t toInt32(double value) {
    return toChecked<std::int32_t>(value);
}

std::int32_t checkedSub(std::int32_t a, std::int32_t b) {
    std::int32_t out = 0;
    if (__builtin_sub_overflow(a, b, &out)) throw OverflowError();
    return out;
}

std::int32_t checkedMul(std::int32_t a, std::int32_t b) {
    std::int32_t out = 0;
    if (__builtin_mul_overflow(a, b, &out)) throw OverflowError();
    return out;
}

double textToNumber(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    std::string_view body = text.substr(begin, end - begin);
    bool negative = false;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    if (body.empty() || body.front() == '+' || body.front() == '-') {
        throw TypeMismatch(std::string(text));
    }
    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != body.data() + body.size()) {
        throw TypeMismatch(std::string(text));
    }
    return negative ? -value : value;
}

std::string numberText(std::int64_t value) {
    return std::to_string(value);
}

}  // namespace vk
