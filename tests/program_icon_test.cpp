#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>
#include <vector>

#include "platform/ProgramIcon.h"

namespace vk {
namespace {

std::uint32_t read16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return read16(b, at) | read16(b, at + 2) << 16;
}

TEST(ProgramIcon, IsThirtyTwoSquareInSixteenDistinctColours) {
    const IndexedIcon& icon = programIcon();
    EXPECT_EQ(icon.pixels.size(), 32u * 32u);
    std::set<std::tuple<int, int, int>> colours;
    for (const Rgb& c : icon.palette) colours.insert({c.r, c.g, c.b});
    EXPECT_EQ(colours.size(), 16u);
    for (std::uint8_t index : icon.pixels) EXPECT_LT(index, 16);
}

TEST(ProgramIcon, ShowsTheMotifColours) {
    const IndexedIcon& icon = programIcon();
    std::multiset<std::tuple<int, int, int>> used;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgb c = icon.colourAt(x, y);
            used.insert({c.r, c.g, c.b});
        }
    }
    struct Case {
        const char* what;
        std::tuple<int, int, int> rgb;
        std::size_t atLeast;
    };
    const Case cases[] = {
        {"blue field", {0, 0, 255}, 400},
        {"white letters and chip", {255, 255, 255}, 200},
        {"olive pins", {128, 128, 0}, 30},
        {"dark-blue shadow", {0, 0, 128}, 15},
    };
    for (const Case& c : cases) EXPECT_GE(used.count(c.rgb), c.atLeast) << c.what;
    // The field reaches every corner; the letters sit in the top-left one.
    EXPECT_EQ(icon.colourAt(0, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(icon.colourAt(31, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(icon.colourAt(0, 31), (Rgb{0, 0, 255}));
    EXPECT_EQ(icon.colourAt(1, 1), (Rgb{255, 255, 255}));
}

TEST(ProgramIcon, IcoFileHasOneFourBitImageWithItsMask) {
    const IndexedIcon& icon = programIcon();
    const std::vector<std::uint8_t> ico = icoFileBytes(icon);
    const std::size_t image = 22, palette = image + 40, xorBits = palette + 64,
                      andBits = xorBits + 32 * 16;
    ASSERT_EQ(ico.size(), andBits + 32 * 4);

    struct Field {
        const char* name;
        std::uint32_t value, expected;
    };
    const Field fields[] = {
        {"reserved", read16(ico, 0), 0},
        {"type icon", read16(ico, 2), 1},
        {"image count", read16(ico, 4), 1},
        {"width", ico[6], 32},
        {"height", ico[7], 32},
        {"colour count", ico[8], 16},
        {"planes", read16(ico, 10), 1},
        {"bits per pixel", read16(ico, 12), 4},
        {"image bytes", read32(ico, 14), static_cast<std::uint32_t>(ico.size() - image)},
        {"image offset", read32(ico, 18), image},
        {"info size", read32(ico, image), 40},
        {"info width", read32(ico, image + 4), 32},
        {"info height, picture and mask", read32(ico, image + 8), 64},
        {"info bits per pixel", read16(ico, image + 14), 4},
        {"uncompressed", read32(ico, image + 16), 0},
    };
    for (const Field& f : fields) EXPECT_EQ(f.value, f.expected) << f.name;

    for (int i = 0; i < 16; ++i) {
        const Rgb& c = icon.palette[i];
        EXPECT_EQ(ico[palette + 4 * i], c.b);
        EXPECT_EQ(ico[palette + 4 * i + 1], c.g);
        EXPECT_EQ(ico[palette + 4 * i + 2], c.r);
    }
    // Rows are stored bottom-up, the left pixel in the high nibble.
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const std::uint8_t byte = ico[xorBits + (31 - y) * 16 + x / 2];
            const int index = x % 2 == 0 ? byte >> 4 : byte & 0x0F;
            ASSERT_EQ(index, icon.at(x, y)) << x << "," << y;
        }
    }
    for (std::size_t i = andBits; i < ico.size(); ++i) EXPECT_EQ(ico[i], 0) << "opaque";
}

// The Windows resource carries a committed copy of the icon: a cross build
// cannot run the generator on the build machine. It must stay the picture
// drawn here.
TEST(ProgramIcon, WindowsResourceIconIsTheSamePicture) {
    std::ifstream file(VK_RESOURCE_ICO, std::ios::binary);
    ASSERT_TRUE(file) << "cannot read " << VK_RESOURCE_ICO;
    const std::vector<std::uint8_t> committed{std::istreambuf_iterator<char>(file), {}};
    const std::vector<std::uint8_t> expected = icoFileBytes(programIcon());
    if (committed != expected) {
        std::ofstream out(VK_EXPECTED_ICO, std::ios::binary);
        out.write(reinterpret_cast<const char*>(expected.data()),
                  static_cast<std::streamsize>(expected.size()));
        FAIL() << VK_RESOURCE_ICO
               << " is not the icon ProgramIcon.cpp draws; the icon it draws is in "
               << VK_EXPECTED_ICO << ": copy it over when the picture changed on purpose";
    }
}

}  // namespace
}  // namespace vk
