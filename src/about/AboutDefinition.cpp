#include "about/AboutDefinition.h"

namespace vk {
namespace {

// The dialog's texts are drawn in a bold sans-serif face; "Sans Serif" is the
// generic family every toolkit resolves to its own sans-serif font, standing in
// for the bitmap face the dialog was drawn with. Sizes and weight are kept.
constexpr const char* kFace = "Sans Serif";

ControlDef label(const char* name, const char* caption, double left, double top, double width,
                 double height, double points) {
    ControlDef d = makeControl(ControlKind::Label, name, "", caption, left, top, width, height);
    d.align = Align::Center;
    d.font = Font{kFace, points, true};
    return d;
}

ControlDef button(const char* name, const char* caption, double left, double top, double width) {
    return makeControl(ControlKind::Button, name, "", caption, left, top, width, 345);
}

WindowDef build() {
    WindowDef w;
    w.name = "frmAbout";
    w.caption = "About Velkrom";
    w.clientWidth = 2235;
    w.clientHeight = 2865;
    // A fixed dialog frame with a close box only, no taskbar button.
    w.sizable = false;
    w.maximizeBox = false;
    w.minimizeBox = false;
    w.showInTaskbar = false;
    w.hasIcon = true;

    auto& c = w.controls;
    ControlDef ok = button("cmdOK", "OK", 480, 1920, 1260);
    ok.isDefault = true;  // Enter
    ok.isCancel = true;   // Esc
    c.push_back(ok);

    // A 32-pixel icon inside a two-pixel sunken border. Tab goes from OK to
    // the icon and on to the System Info button: the order of this table.
    ControlDef icon = makeControl(ControlKind::PictureBox, "picIcon", "", "", 840, 120, 540, 540);
    icon.border = Border::Sunken3D;
    icon.showsIcon = true;
    icon.tabStop = true;
    // It takes the focus, so a screen reader names it.
    icon.accessibleName = "Velkrom icon";
    c.push_back(icon);

    c.push_back(button("cmdSysInfo", "&System Info...", 480, 2400, 1245));

    ControlDef title = label("lblTitle", "Velkrom", 0, 720, 2325, 360, 12);
    title.foreColor = Rgb{0, 0, 0};
    c.push_back(title);
    c.push_back(label("lblVersion", "VERSION", 0, 1080, 2295, 255, 8.25));
    c.push_back(label("lblAuthor", "by Tessaly", 120, 1440, 2055, 255, 9.75));
    return w;
}

}  // namespace

const WindowDef& aboutWindowDefinition() {
    static const WindowDef definition = build();
    return definition;
}

}  // namespace vk
