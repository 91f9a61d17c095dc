#include "platform/ProgramIcon.h"

#include <string_view>

namespace vk {
namespace {

// The classic 16-colour palette, in its usual order.
constexpr std::array<Rgb, IndexedIcon::kColours> kPalette{{
    {0, 0, 0},        // 0 black
    {128, 0, 0},      // 1 maroon
    {0, 128, 0},      // 2 green
    {128, 128, 0},    // 3 olive: the chip's pins
    {0, 0, 128},      // 4 navy: the chip's shadow
    {128, 0, 128},    // 5 purple
    {0, 128, 128},    // 6 teal
    {192, 192, 192},  // 7 silver: the chip's notch
    {128, 128, 128},  // 8 grey
    {255, 0, 0},      // 9 red
    {0, 255, 0},      // A lime
    {255, 255, 0},    // B yellow
    {0, 0, 255},      // C blue: the field
    {255, 0, 255},    // D fuchsia
    {0, 255, 255},    // E aqua
    {255, 255, 255},  // F white: letters and chip
}};

// One hex digit per pixel: the palette index.
constexpr std::array<std::string_view, IndexedIcon::kSize> kArt{{
    "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC", "CFFCCCCCFFCFFFFFFCCCCCCCCCCCCCCC",
    "CFFFCCCFFFCFFCCCFFCCCCCCCCCCCCCC", "CFFFFCFFFFCFFCCCFFCCCCCCCCCCCCCC",
    "CFFCFFFCFFCFFCCFFCCCCCCCCCCCCCCC", "CFFCCFCCFFCFFFFFFCCCCCCCCCCCCCCC",
    "CFFCCCCCFFCFFCCCFFCC33CCCCCCCCCC", "CFFCCCCCFFCFFCCCFFCCC33FFCCCCCCC",
    "CFFCCCCCFFCFFCCCFF33CCFFFFCCCCCC", "CFFCCCCCFFCFFFFFFCC33FFFFFFCCCCC",
    "CCCCCCCCCCCCCCCC33CCFFFFFFFFCCCC", "CCCCCCCCCCCCCCCCC33FFFFFFFFFFCCC",
    "CCCCCCCCCCCCCC33CCFFFFFFFFFFF4CC", "CCCCCCCCCCCCCCC33FFFFFFFFFFF344C",
    "CCCCCCCCCCCC33CCFFFFFFFFFFF433CC", "CCCCCCCCCCCC333FFFFFFFFFFF34434C",
    "CCCCCCCCCC3CC3FFFFFFFFFFF433CC44", "CCCCCCCCCC33CFFFFFFFFFFF34434CCC",
    "CCCCCCCC3CC3FFFFFFFFFFF433CC44CC", "CCCCCCCC33CFFFFFFFFFFF34434CCCCC",
    "CCCCCC3CC3FFFFFFFFFFF433CC44CCCC", "CCCCCC33CFFFFFFFFFFF34434CCCCCCC",
    "CCCCCCC3FFFFFFFFFFF333CC44CCCCCC", "CCCCCCCFFFFFFFFFFF44334CCCCCCCCC",
    "CCCCCCCFFF77FFFFF334C444CCCCCCCC", "CCCCCCCCFF77FFFF4433CC4CCCCCCCCC",
    "CCCCCCCCCFFFFFF334C44CCCCCCCCCCC", "CCCCCCCCCCFFFF4433CC4CCCCCCCCCCC",
    "CCCCCCCCCCCFF334C44CCCCCCCCCCCCC", "CCCCCCCCCCCC4433CC4CCCCCCCCCCCCC",
    "CCCCCCCCCCCCC4C44CCCCCCCCCCCCCCC", "CCCCCCCCCCCCCCCC4CCCCCCCCCCCCCCC",
}};

constexpr int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Checked while compiling: a mistyped row cannot reach the screen.
constexpr bool artIsWellFormed() {
    for (std::string_view row : kArt) {
        if (row.size() != IndexedIcon::kSize) return false;
        for (char c : row) {
            if (hexValue(c) < 0) return false;
        }
    }
    return true;
}
static_assert(artIsWellFormed(), "every icon row is 32 hex digits");

IndexedIcon build() {
    IndexedIcon icon{kPalette, {}};
    for (int y = 0; y < IndexedIcon::kSize; ++y) {
        for (int x = 0; x < IndexedIcon::kSize; ++x) {
            icon.pixels[y * IndexedIcon::kSize + x] =
                static_cast<std::uint8_t>(hexValue(kArt[y][x]));
        }
    }
    return icon;
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

const IndexedIcon& programIcon() {
    static const IndexedIcon icon = build();
    return icon;
}

std::vector<std::uint8_t> icoFileBytes(const IndexedIcon& icon) {
    constexpr std::uint32_t size = IndexedIcon::kSize;
    constexpr std::uint32_t colours = IndexedIcon::kColours;
    constexpr std::uint32_t headerBytes = 6 + 16;                  // ICONDIR + one ICONDIRENTRY
    constexpr std::uint32_t infoBytes = 40;                        // BITMAPINFOHEADER
    constexpr std::uint32_t xorRowBytes = size / 2;                // 4 bits a pixel
    constexpr std::uint32_t andRowBytes = ((size + 31) / 32) * 4;  // 1 bit, rows padded to 4
    constexpr std::uint32_t imageBytes =
        infoBytes + colours * 4 + size * xorRowBytes + size * andRowBytes;

    std::vector<std::uint8_t> out;
    out.reserve(headerBytes + imageBytes);
    // ICONDIR: reserved, type 1 = icon, one image.
    put16(out, 0);
    put16(out, 1);
    put16(out, 1);
    // ICONDIRENTRY.
    out.push_back(static_cast<std::uint8_t>(size));
    out.push_back(static_cast<std::uint8_t>(size));
    out.push_back(static_cast<std::uint8_t>(colours));
    out.push_back(0);
    put16(out, 1);  // planes
    put16(out, 4);  // bits per pixel
    put32(out, imageBytes);
    put32(out, headerBytes);
    // BITMAPINFOHEADER; the height counts the XOR picture and the AND mask.
    put32(out, infoBytes);
    put32(out, size);
    put32(out, size * 2);
    put16(out, 1);
    put16(out, 4);
    put32(out, 0);  // uncompressed
    put32(out, size * xorRowBytes + size * andRowBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, colours);
    put32(out, 0);
    for (const Rgb& c : icon.palette) {
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    }
    // Rows bottom-up, two pixels a byte, the left one in the high nibble.
    for (int y = static_cast<int>(size) - 1; y >= 0; --y) {
        for (int x = 0; x < static_cast<int>(size); x += 2) {
            out.push_back(static_cast<std::uint8_t>(icon.at(x, y) << 4 | icon.at(x + 1, y)));
        }
    }
    // AND mask: all zero, every pixel drawn.
    out.insert(out.end(), size * andRowBytes, 0);
    return out;
}

}  // namespace vk
