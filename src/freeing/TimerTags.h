#pragma once
// Timers keep small whole numbers as text in their Tag: read as a number at
// each use, written back as plain decimal text.
#include "platform/Control.h"
#include "platform/Numbers.h"

namespace vk {

// Throws TypeMismatch when the Tag is not a number.
inline double tagNumber(const Control& timer) {
    return textToNumber(timer.tag());
}

// Throws OverflowError when the value does not fit a 32-bit whole number.
inline void setTagNumber(Control& timer, double value) {
    timer.setTag(numberText(toInt32(value)));
}

}  // namespace vk
