#pragma once
// A window declared as data: every control with its name, kind, container,
// geometry in twips, colours and initial state. Handlers attach by name
// elsewhere; backends build their widgets from the same table.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vk {

enum class ControlKind : std::uint8_t { Window, Label, Frame, PictureBox, Timer, Menu, Button };

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class Border : std::uint8_t { None, Single, Sunken3D };

// What a control is to assistive technology (screen readers) where its kind
// alone does not say: a label that is the window's status line, a picture
// box that is a meter (its Value is a share in whole percent, read out under
// the caption of its frame).
enum class Presents : std::uint8_t { ByKind, StatusLine, Meter };
enum class Align : std::uint8_t { Left, Center };

struct Font {
    std::string face;  // empty: the platform's default dialog font
    double points = 0;
    bool bold = false;
};

struct ControlDef {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string parent;   // empty for the window itself and top-level menus
    std::string caption;  // label/frame/button/menu text, window caption
    double left = 0, top = 0, width = 0, height = 0;  // twips
    std::optional<Rgb> foreColor;
    std::optional<Rgb> backColor;
    Border border = Border::None;
    Align align = Align::Left;
    Font font;
    bool visible = true;
    bool enabled = true;  // timers: running at creation
    std::string tag;
    int intervalMs = 0;  // timers
    // Timers whose ticks only change what the window shows: while no window
    // of the program can be seen they wake nobody, and a tick that fell due
    // is delivered before the next event of any other kind (Dispatcher).
    bool redrawsOnly = false;
    std::string shortcut;  // menus: "Ctrl+F", "F1"
    bool checkable = false;
    bool separator = false;
    bool isDefault = false;  // buttons: Enter presses it
    bool isCancel = false;   // buttons: Esc presses it
    bool showsIcon = false;  // picture boxes: show the program's icon from creation
    bool tabStop = false;    // picture boxes: Tab gives them the focus (buttons always take it)
    Presents presents = Presents::ByKind;
    std::string labelledBy;      // value labels: the caption label that says what they show
    std::string accessibleName;  // what a screen reader calls a control that shows no text
};

// The start of every row of a definition: kind, name, container, text and
// place. Callers set what else the row has.
inline ControlDef makeControl(ControlKind kind, std::string name, std::string parent,
                              std::string caption, double left, double top, double width,
                              double height) {
    ControlDef d;
    d.kind = kind;
    d.name = std::move(name);
    d.parent = std::move(parent);
    d.caption = std::move(caption);
    d.left = left;
    d.top = top;
    d.width = width;
    d.height = height;
    return d;
}

struct WindowDef {
    std::string name;
    std::string caption;
    double clientWidth = 0, clientHeight = 0;  // twips
    bool sizable = true;
    bool maximizeBox = false;
    bool minimizeBox = true;
    bool showInTaskbar = true;
    bool hasIcon = true;
    std::vector<ControlDef> controls;  // containers before their children
};

}  // namespace vk
