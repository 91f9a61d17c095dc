#include "window/MainWindowDefinition.h"

namespace vk {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 128, 0};
constexpr Rgb kFreeBar{0, 255, 0};
constexpr Rgb kMarker{0, 192, 0};

ControlDef label(const std::string& name, const char* parent, const char* caption, double left,
                 double top, double width, std::optional<Rgb> fore = std::nullopt) {
    ControlDef d = makeControl(ControlKind::Label, name, parent, caption, left, top, width, 255);
    d.foreColor = fore;
    return d;
}

// A value label, said under the caption label to its left.
ControlDef value(const std::string& name, const char* parent, const std::string& caption,
                 const char* text, double top, std::optional<Rgb> fore) {
    ControlDef d = label(name, parent, text, 600, top, 3100, fore);
    d.labelledBy = caption;
    return d;
}

ControlDef frame(const char* name, const char* caption, double top, double height) {
    return makeControl(ControlKind::Frame, name, "", caption, 120, top, 3855, height);
}

ControlDef picture(const std::string& name, const std::string& parent, double left, double top,
                   double width, double height, std::optional<Rgb> fill, Border border,
                   bool visible) {
    ControlDef d = makeControl(ControlKind::PictureBox, name, parent, "", left, top, width, height);
    d.backColor = fill;
    d.border = border;
    d.visible = visible;
    return d;
}

ControlDef timer(const char* name, int intervalMs, bool running, const char* tag) {
    ControlDef d = makeControl(ControlKind::Timer, name, "", "", 0, 0, 0, 0);
    d.intervalMs = intervalMs;
    d.enabled = running;
    d.tag = tag;
    return d;
}

ControlDef menu(const char* name, const char* parent, const char* caption,
                const char* shortcut = "") {
    ControlDef d = makeControl(ControlKind::Menu, name, parent, caption, 0, 0, 0, 0);
    d.shortcut = shortcut;
    return d;
}

ControlDef separator(const char* name, const char* parent) {
    ControlDef d = menu(name, parent, "-");
    d.separator = true;
    return d;
}

// One frame's captions, values and bar; the pagefile frame differs only in
// its bar sitting 120 twips lower.
void addFrameContents(std::vector<ControlDef>& c, const char* frameName, const char* what,
                      double barTop) {
    const std::string w = what;
    auto n = [&](const char* prefix, const char* suffix = "") { return prefix + w + suffix; };
    auto row = [&](const char* kind, const char* caption, const char* text, double top,
                   std::optional<Rgb> fore) {
        c.push_back(label(n(kind), frameName, caption, 120, top, 495));
        c.push_back(value(n(kind, "Show"), frameName, n(kind), text, top, fore));
    };
    row("lblTotal", "Total:", "TOTAL", 240, std::nullopt);
    row("lblUsed", "Used:", "USED", 480, kRed);
    row("lblFree", "Free:", "FREE", 720, kGreen);
    const std::string used = n("picUsed");
    // The used bar is the bar as a whole: its Value is the free share.
    ControlDef bar = picture(used, frameName, 120, barTop, 3615, 255, kRed, Border::Sunken3D, true);
    bar.presents = Presents::Meter;
    c.push_back(bar);
    // The marker lies above the free bar, so it is declared after it: later
    // siblings are drawn on top.
    c.push_back(picture(n("picAvailable"), used, 3720, 0, 135, 255, kFreeBar, Border::None, true));
    c.push_back(picture(n("picOld"), used, 840, 0, 2775, 255, kMarker, Border::None, false));
}

WindowDef build() {
    WindowDef w;
    w.name = "frmMain";
    w.caption = "Velkrom";
    w.clientWidth = 4080;
    w.clientHeight = 3390;
    w.sizable = true;
    w.maximizeBox = false;
    w.minimizeBox = true;
    w.showInTaskbar = true;

    auto& c = w.controls;
    c.push_back(frame("Frame1", "Physical memory", 120, 1335));
    addFrameContents(c, "Frame1", "Physical", 960);
    c.push_back(frame("Frame2", "Pagefile", 1560, 1455));
    addFrameContents(c, "Frame2", "Pagefile", 1080);

    ControlDef status = label("lblStatus", "", "Ready", 120, 3120, 4095);
    status.presents = Presents::StatusLine;
    c.push_back(status);
    c.push_back(picture("TrayIcon", "", 3600, 2880, 375, 375, std::nullopt, Border::None, false));

    // The refresh only rewrites figures and bars, and neither the tray tip nor
    // the icon follows them: while no window shows, its ticks are held.
    ControlDef refresh = timer("tmrUpdateMemoryInformation", 1, true, "");
    refresh.redrawsOnly = true;
    c.push_back(refresh);
    c.push_back(timer("tmrDefragMemory", 1, false, "0"));
    c.push_back(timer("tmrCheckIfMemoryFull", 1000, false, "0"));
    c.push_back(timer("tmrQuit", 1000, false, "4"));
    c.push_back(timer("tmrLoosePicOld", 5000, false, ""));

    c.push_back(menu("mnuFile", "", "&File"));
    c.push_back(menu("mnuDefragMemory1", "mnuFile", "&Free memory", "Ctrl+F"));
    c.push_back(menu("mnuDefragMemory2", "mnuFile", "Free memory and &Quit", "Ctrl+Q"));
    ControlDef whenFull = menu("mnuDefragMemory3", "mnuFile", "Free memory &when full", "Ctrl+U");
    whenFull.checkable = true;
    c.push_back(whenFull);
    c.push_back(separator("mnuLine", "mnuFile"));
    c.push_back(menu("mnuToTray", "mnuFile", "&Hide to system tray", "Ctrl+T"));
    c.push_back(separator("mnuLineb", "mnuFile"));
    c.push_back(menu("mnuExit", "mnuFile", "E&xit", "Ctrl+X"));
    c.push_back(menu("mnuHelp", "", "&Help"));
    c.push_back(menu("mnuAbout", "mnuHelp", "&About Velkrom", "F1"));
    ControlDef popUp = menu("mnuPopUp", "", "&Menu");
    popUp.visible = false;  // only ever shown as the tray's pop-up menu
    c.push_back(popUp);
    c.push_back(menu("mnuShow", "mnuPopUp", "&Hide"));
    c.push_back(separator("mnuLinea", "mnuPopUp"));
    c.push_back(menu("mnuExit2", "mnuPopUp", "&Exit"));
    return w;
}

}  // namespace

const WindowDef& mainWindowDefinition() {
    static const WindowDef definition = build();
    return definition;
}

}  // namespace vk
