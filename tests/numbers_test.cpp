#include <gtest/gtest.h>

#include <limits>

#include "platform/Errors.h"
#include "platform/Numbers.h"
#include "platform/Twips.h"

namespace vk {
namespace {

TEST(RoundHalfEven, Table) {
    struct Case {
        double in, out;
    } cases[] = {{254.5, 254}, {255.5, 256}, {0.5, 0},   {1.5, 2},     {2.5, 2},
                 {-0.5, -0},   {-1.5, -2},   {14.12, 14}, {1.49999, 1}, {1.50001, 2},
                 {3615.0 / 2410, 2}, {3615.0 / 2411, 1}};
    for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
}

TEST(CheckedConversions, RangeAndOverflow) {
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768);  // ties to even stays in range
    EXPECT_THROW(toInt16(32767.5), OverflowError);
    EXPECT_THROW(toInt16(-32769), OverflowError);
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_THROW(toInt32(2147483648.0), OverflowError);
    EXPECT_THROW(toInt32(std::numeric_limits<double>::quiet_NaN()), OverflowError);
    EXPECT_THROW(toInt32(std::numeric_limits<double>::infinity()), OverflowError);
    EXPECT_THROW(checkedSub(std::numeric_limits<std::int32_t>::min(), 1), OverflowError);
    EXPECT_THROW(checkedMul(65536, 65536), OverflowError);
    EXPECT_EQ(checkedMul(-4096, 3615), -14807040);
}

TEST(TextNumbers, ReadsTagsAndRejectsJunk) {
    struct Case {
        const char* text;
        double value;
    } good[] = {{"0", 0}, {"4", 4}, {" 3 ", 3}, {"-1", -1}, {"+2", 2}, {"2.5", 2.5}};
    for (const auto& c : good) EXPECT_EQ(textToNumber(c.text), c.value) << c.text;
    for (const char* bad : {"", " ", "x", "4x", "--1", "+", "1 2", "0x10"}) {
        EXPECT_THROW(textToNumber(bad), TypeMismatch) << "'" << bad << "'";
    }
    EXPECT_EQ(numberText(-3), "-3");
    EXPECT_EQ(numberText(4096), "4096");
}

TEST(Twips, SnapToPixelGrid) {
    EXPECT_EQ(twipsPerPixel(96), 15);
    EXPECT_EQ(twipsPerPixel(120), 12);
    EXPECT_EQ(snapTwips(1400, 15), 1395);
    EXPECT_EQ(snapTwips(3615, 15), 3615);
    EXPECT_EQ(snapTwips(1400, 12), 1404);
    EXPECT_EQ(twipsToPixels(4080, 15), 272);
    EXPECT_EQ(twipsToPixels(3390, 15), 226);
}

}  // namespace
}  // namespace vk
