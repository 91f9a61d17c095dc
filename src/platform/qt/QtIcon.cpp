#include "platform/qt/QtIcon.h"

#include <QPixmap>

namespace vk::qt {

QImage toQImage(const IndexedIcon& icon) {
    QImage image(IndexedIcon::kSize, IndexedIcon::kSize, QImage::Format_Indexed8);
    image.setColorCount(IndexedIcon::kColours);
    for (int i = 0; i < IndexedIcon::kColours; ++i) {
        const Rgb& c = icon.palette[static_cast<std::size_t>(i)];
        image.setColor(i, qRgb(c.r, c.g, c.b));
    }
    for (int y = 0; y < IndexedIcon::kSize; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < IndexedIcon::kSize; ++x) line[x] = icon.at(x, y);
    }
    return image;
}

QIcon programQIcon() {
    return QIcon(QPixmap::fromImage(toQImage(programIcon())));
}

}  // namespace vk::qt
