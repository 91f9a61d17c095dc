#include "ToolkitHarness.h"

namespace vk::contract {
namespace {

ControlDef control(const char* name, ControlKind kind, const char* parent, double left, double top,
                   double width, double height) {
    return makeControl(kind, name, parent, name, left, top, width, height);
}

ControlDef menu(const char* name, const char* parent, const char* caption,
                const char* shortcut = "") {
    ControlDef d = control(name, ControlKind::Menu, parent, 0, 0, 0, 0);
    d.caption = caption;
    d.shortcut = shortcut;
    return d;
}

}  // namespace

WindowDef contractWindow() {
    WindowDef w;
    w.name = "frmTest";
    w.caption = "Test";
    w.clientWidth = 3000;
    w.clientHeight = 2250;
    auto& c = w.controls;
    c.push_back(control("fraBox", ControlKind::Frame, "", 150, 150, 1500, 900));
    c.push_back(control("lblInFrame", ControlKind::Label, "fraBox", 150, 300, 600, 255));
    c.push_back(control("lblOut", ControlKind::Label, "", 1800, 150, 900, 255));
    ControlDef bar = control("picBar", ControlKind::PictureBox, "", 150, 1200, 1500, 255);
    bar.border = Border::Sunken3D;
    bar.backColor = Rgb{255, 0, 0};
    c.push_back(bar);
    ControlDef inner = control("picInner", ControlKind::PictureBox, "picBar", 0, 0, 600, 255);
    inner.backColor = Rgb{0, 255, 0};
    c.push_back(inner);
    ControlDef ok = control("cmdOK", ControlKind::Button, "", 1800, 600, 900, 345);
    ok.isDefault = true;
    c.push_back(ok);
    ControlDef cancel = control("cmdCancel", ControlKind::Button, "", 1800, 1050, 900, 345);
    cancel.isCancel = true;
    c.push_back(cancel);
    ControlDef timer = control("tmrFast", ControlKind::Timer, "", 0, 0, 0, 0);
    timer.intervalMs = 1;
    timer.enabled = false;
    c.push_back(timer);
    c.push_back(menu("mnuTop", "", "&Top"));
    c.push_back(menu("mnuItem", "mnuTop", "&Item", "Ctrl+I"));
    ControlDef check = menu("mnuCheck", "mnuTop", "&Check", "Ctrl+K");
    check.checkable = true;
    c.push_back(check);
    ControlDef line = menu("mnuLine", "mnuTop", "-");
    line.separator = true;
    c.push_back(line);
    c.push_back(menu("mnuSub", "mnuTop", "&Sub"));
    c.push_back(menu("mnuSubItem", "mnuSub", "Sub &item"));
    c.push_back(menu("mnuOther", "", "&Other"));
    c.push_back(menu("mnuOtherItem", "mnuOther", "Other item", "F2"));
    ControlDef hidden = menu("mnuHidden", "", "&Hidden");
    hidden.visible = false;
    c.push_back(hidden);
    c.push_back(menu("mnuPop", "mnuHidden", "&Pop"));
    return w;
}

WindowDef contractTrayWindow() {
    WindowDef w;
    w.name = "frmTray";
    w.clientWidth = 1500;
    w.clientHeight = 1500;
    ControlDef box = control("TrayIcon", ControlKind::PictureBox, "", 0, 0, 375, 375);
    box.visible = false;
    w.controls.push_back(box);
    return w;
}

}  // namespace vk::contract
