// Renders the program icon as PNG files for the desktop's icon theme, at
// build time, from the one 32 x 32 picture that the program itself shows.
//
//   vk_render_icons OUTDIR NAME SIZE...
//
// writes OUTDIR/<SIZE>x<SIZE>/apps/NAME.png for every SIZE (16 to 1024).
//
// The picture is pixel art, so it is never resampled with a filter: every
// source pixel becomes a square of whole pixels. A size that is a multiple
// of 32 gets the picture at that multiple. Any other size gets the largest
// such square that fits, centred on a transparent canvas: 48 shows it at 32,
// 22 and 24 at 16. At 16 each pixel is one of its 2 x 2 source pixels, the
// lower right one (its centre is their common corner): that choice keeps the
// M's middle stroke and the chip's shadow whole. Scaling by 1.5 or 0.75
// instead would double some rows and columns and not others, or drop one in
// four, and the even strokes of the "MB" letters and the chip's pins would
// come out uneven; a margin is the lesser fault, and themes pad their icons
// in the same way.
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ProgramIcon.h"

namespace {

constexpr int kSource = vk::IndexedIcon::kSize;
constexpr int kSmallest = kSource / 2;
constexpr int kLargest = 1024;

// The side of the picture within a canvas of `size`: half the source below
// the source's size, else the largest whole multiple of it that fits.
int pictureSide(int size) {
    return size < kSource ? kSmallest : size / kSource * kSource;
}

QImage render(const vk::IndexedIcon& icon, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const int side = pictureSide(size);
    const int offset = (size - side) / 2;
    for (int y = 0; y < side; ++y) {
        // Nearest neighbour: floor((y + 0.5) * 32 / side), the source pixel
        // under this one's centre, or the lower right one where the centre
        // falls on a corner.
        const int sy = (2 * y + 1) * kSource / (2 * side);
        for (int x = 0; x < side; ++x) {
            const int sx = (2 * x + 1) * kSource / (2 * side);
            const vk::Rgb c = icon.colourAt(sx, sy);
            image.setPixel(offset + x, offset + y, qRgb(c.r, c.g, c.b));
        }
    }
    return image;
}

// A whole number from kSmallest to kLargest, or 0.
int parseSize(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < kSmallest || value > kLargest) return 0;
    return static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTDIR NAME SIZE...\n", argv[0]);
        return 2;
    }
    const std::filesystem::path outDir = argv[1];
    const std::string name = argv[2];
    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i) {
        const int size = parseSize(argv[i]);
        if (size == 0) {
            std::fprintf(stderr, "%s: size '%s' is not a whole number from %d to %d\n", argv[0],
                         argv[i], kSmallest, kLargest);
            return 2;
        }
        sizes.push_back(size);
    }
    for (int size : sizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path dir = outDir / folder / "apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        const std::filesystem::path file = dir / (name + ".png");
        if (error || !render(vk::programIcon(), size).save(QString::fromStdString(file), "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], file.c_str());
            return 1;
        }
    }
    return 0;
}
