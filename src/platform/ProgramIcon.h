#pragma once
// The program's icon as plain data: one 32 x 32 picture in the classic
// 16-colour palette. Every platform draws it from here: the Qt program builds
// its window and tray icon from the pixels, and the Windows resource gets the
// .ico bytes, so the picture exists exactly once.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/ControlDef.h"

namespace vk {

struct IndexedIcon {
    static constexpr int kSize = 32;
    static constexpr int kColours = 16;

    std::array<Rgb, kColours> palette;
    // Palette indices, row by row, top row first.
    std::array<std::uint8_t, kSize * kSize> pixels;

    std::uint8_t at(int x, int y) const { return pixels[y * kSize + x]; }
    Rgb colourAt(int x, int y) const { return palette[at(x, y)]; }
};

// Blue field, white "MB" in the top-left corner, a white memory chip with
// olive pins and a dark-blue shadow lying diagonally across the rest.
const IndexedIcon& programIcon();

// The bytes of a Windows .ico file holding `icon` as its one image: 4 bits
// per pixel with the palette, and an AND mask that leaves every pixel opaque.
std::vector<std::uint8_t> icoFileBytes(const IndexedIcon& icon);

}  // namespace vk
