#include "platform/win32/Win32Fonts.h"

#include <cmath>

namespace vk::win32 {

std::string windowsFace(const std::string& face) {
    if (face.empty() || face == "Sans Serif") return Fonts::kDialogFace;
    return face;
}

Fonts::~Fonts() {
    for (auto& [key, font] : fonts_) DeleteObject(font);
}

HFONT Fonts::get(const Font& font) {
    const std::string face = windowsFace(font.face);
    const double points = font.points > 0 ? font.points : kDialogPoints;
    // Hundredths of a point tell 8.25 from 8 apart.
    const auto key = std::make_tuple(face, static_cast<int>(std::lround(points * 100)), font.bold);
    if (const auto it = fonts_.find(key); it != fonts_.end()) return it->second;

    LOGFONTA logFont{};
    // A negative height asks for the character height (the em) in pixels.
    logFont.lfHeight = -static_cast<LONG>(std::lround(points * dpi_ / 72.0));
    logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    // Where the face is missing the mapper picks a sans-serif one.
    logFont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynA(logFont.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT made = CreateFontIndirectA(&logFont);
    if (!made) made = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts_[key] = made;
    return made;
}

}  // namespace vk::win32
