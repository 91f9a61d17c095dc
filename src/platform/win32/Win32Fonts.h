#pragma once
// The fonts of the definitions, made once per face, size and weight at the
// screen's DPI and kept for the toolkit's life.
#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "platform/ControlDef.h"

namespace vk::win32 {

class Fonts {
  public:
    explicit Fonts(int dpi) : dpi_(dpi) {}
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // The font a definition asks for; an empty face or no size takes the
    // dialog font's.
    HFONT get(const Font& font);

    // The dialog font the windows were laid out for.
    static constexpr const char* kDialogFace = "MS Sans Serif";
    static constexpr double kDialogPoints = 8;

  private:
    int dpi_;
    std::map<std::tuple<std::string, int, bool>, HFONT> fonts_;
};

// The face Windows is asked for: the definitions' generic "Sans Serif" (and
// no face at all) is the dialog face.
std::string windowsFace(const std::string& face);

}  // namespace vk::win32
