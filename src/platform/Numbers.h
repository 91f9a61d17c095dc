#pragma once
// The program's number rules, each one small pure function.
#include <cstdint>
#include <string>
#include <string_view>

namespace vk {

// Nearest whole number, ties to the even neighbour (254.5 -> 254, 255.5 -> 256).
double roundHalfEven(double value);

// Round half to even and check the range; throws OverflowError when the
// value does not fit (or is not a number).
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// Checked 32-bit integer arithmetic; throws OverflowError.
std::int32_t checkedSub(std::int32_t a, std::int32_t b);
std::int32_t checkedMul(std::int32_t a, std::int32_t b);

// A number kept as text (timer tags): decimal, optional sign and blanks
// around it. Anything else, the empty text included, throws TypeMismatch.
double textToNumber(std::string_view text);

// A whole number as plain decimal text: minus sign if negative, no blank,
// no grouping, no decimals.
std::string numberText(std::int64_t value);

}  // namespace vk
