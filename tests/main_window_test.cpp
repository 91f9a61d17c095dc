#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Form.h"
#include "window/MainWindowDefinition.h"

namespace vk {
namespace {

struct Row {
    const char* name;
    ControlKind kind;
    const char* parent;
    const char* caption;
    double l, t, w, h;
    bool visible;
};

TEST(MainWindowDefinition, WindowProperties) {
    const WindowDef& def = mainWindowDefinition();
    EXPECT_EQ(def.name, "frmMain");
    EXPECT_EQ(def.caption, "Velkrom");
    EXPECT_EQ(def.clientWidth, 4080);
    EXPECT_EQ(def.clientHeight, 3390);
    EXPECT_TRUE(def.sizable);
    EXPECT_FALSE(def.maximizeBox);
    EXPECT_TRUE(def.minimizeBox);
    EXPECT_TRUE(def.showInTaskbar);
}

TEST(MainWindowDefinition, ControlsMatchTheLayout) {
    const auto L = ControlKind::Label;
    const auto P = ControlKind::PictureBox;
    const auto F = ControlKind::Frame;
    const Row rows[] = {
        {"Frame1", F, "", "Physical memory", 120, 120, 3855, 1335, true},
        {"lblTotalPhysical", L, "Frame1", "Total:", 120, 240, 495, 255, true},
        {"lblTotalPhysicalShow", L, "Frame1", "TOTAL", 600, 240, 3100, 255, true},
        {"lblUsedPhysical", L, "Frame1", "Used:", 120, 480, 495, 255, true},
        {"lblUsedPhysicalShow", L, "Frame1", "USED", 600, 480, 3100, 255, true},
        {"lblFreePhysical", L, "Frame1", "Free:", 120, 720, 495, 255, true},
        {"lblFreePhysicalShow", L, "Frame1", "FREE", 600, 720, 3100, 255, true},
        {"picUsedPhysical", P, "Frame1", "", 120, 960, 3615, 255, true},
        {"picOldPhysical", P, "picUsedPhysical", "", 840, 0, 2775, 255, false},
        {"picAvailablePhysical", P, "picUsedPhysical", "", 3720, 0, 135, 255, true},
        {"Frame2", F, "", "Pagefile", 120, 1560, 3855, 1455, true},
        {"lblTotalPagefile", L, "Frame2", "Total:", 120, 240, 495, 255, true},
        {"lblTotalPagefileShow", L, "Frame2", "TOTAL", 600, 240, 3100, 255, true},
        {"lblUsedPagefile", L, "Frame2", "Used:", 120, 480, 495, 255, true},
        {"lblUsedPagefileShow", L, "Frame2", "USED", 600, 480, 3100, 255, true},
        {"lblFreePagefile", L, "Frame2", "Free:", 120, 720, 495, 255, true},
        {"lblFreePagefileShow", L, "Frame2", "FREE", 600, 720, 3100, 255, true},
        {"picUsedPagefile", P, "Frame2", "", 120, 1080, 3615, 255, true},
        {"picOldPagefile", P, "picUsedPagefile", "", 840, 0, 2775, 255, false},
        {"picAvailablePagefile", P, "picUsedPagefile", "", 3720, 0, 135, 255, true},
        {"lblStatus", L, "", "Ready", 120, 3120, 4095, 255, true},
        {"TrayIcon", P, "", "", 3600, 2880, 375, 375, false},
    };
    Form form(mainWindowDefinition());
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const Control& c = form[r.name];
        EXPECT_EQ(c.kind(), r.kind);
        EXPECT_EQ(c.def().parent, r.parent);
        EXPECT_EQ(c.caption(), r.caption);
        EXPECT_EQ(c.left(), r.l);
        EXPECT_EQ(c.top(), r.t);
        EXPECT_EQ(c.width(), r.w);
        EXPECT_EQ(c.height(), r.h);
        EXPECT_EQ(c.visible(), r.visible);
    }
}

TEST(MainWindowDefinition, ColoursAndBorders) {
    Form form(mainWindowDefinition());
    const Rgb red{255, 0, 0}, green{0, 128, 0}, bright{0, 255, 0}, dark{0, 192, 0};
    for (const char* n : {"lblUsedPhysicalShow", "lblUsedPagefileShow"})
        EXPECT_EQ(form[n].def().foreColor, red) << n;
    for (const char* n : {"lblFreePhysicalShow", "lblFreePagefileShow"})
        EXPECT_EQ(form[n].def().foreColor, green) << n;
    for (const char* n : {"lblTotalPhysicalShow", "lblTotalPagefileShow", "lblStatus"})
        EXPECT_FALSE(form[n].def().foreColor.has_value()) << n;
    for (const char* n : {"picUsedPhysical", "picUsedPagefile"}) {
        EXPECT_EQ(form[n].def().backColor, red) << n;
        EXPECT_EQ(form[n].def().border, Border::Sunken3D) << n;
    }
    for (const char* n : {"picAvailablePhysical", "picAvailablePagefile"}) {
        EXPECT_EQ(form[n].def().backColor, bright) << n;
        EXPECT_EQ(form[n].def().border, Border::None) << n;
    }
    for (const char* n : {"picOldPhysical", "picOldPagefile"}) {
        EXPECT_EQ(form[n].def().backColor, dark) << n;
        EXPECT_EQ(form[n].def().border, Border::None) << n;
    }
}

TEST(MainWindowDefinition, MarkerIsDrawnAboveTheFreeBar) {
    // Later siblings are drawn on top.
    const auto& controls = mainWindowDefinition().controls;
    auto index = [&](const std::string& name) {
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (controls[i].name == name) return i;
        return controls.size();
    };
    EXPECT_LT(index("picAvailablePhysical"), index("picOldPhysical"));
    EXPECT_LT(index("picAvailablePagefile"), index("picOldPagefile"));
}

TEST(MainWindowDefinition, Timers) {
    struct T {
        const char* name;
        int interval;
        bool running;
        const char* tag;
    } timers[] = {{"tmrUpdateMemoryInformation", 1, true, ""},
                  {"tmrDefragMemory", 1, false, "0"},
                  {"tmrCheckIfMemoryFull", 1000, false, "0"},
                  {"tmrQuit", 1000, false, "4"},
                  {"tmrLoosePicOld", 5000, false, ""}};
    Form form(mainWindowDefinition());
    for (const T& t : timers) {
        SCOPED_TRACE(t.name);
        const Control& c = form[t.name];
        EXPECT_EQ(c.kind(), ControlKind::Timer);
        EXPECT_EQ(c.intervalMs(), t.interval);
        EXPECT_EQ(c.enabled(), t.running);
        EXPECT_EQ(c.tag(), t.tag);
    }
}

TEST(MainWindowDefinition, MenuTree) {
    struct M {
        const char* name;
        const char* parent;
        const char* caption;
        const char* shortcut;
        bool separator;
    } menus[] = {
        {"mnuFile", "", "&File", "", false},
        {"mnuDefragMemory1", "mnuFile", "&Free memory", "Ctrl+F", false},
        {"mnuDefragMemory2", "mnuFile", "Free memory and &Quit", "Ctrl+Q", false},
        {"mnuDefragMemory3", "mnuFile", "Free memory &when full", "Ctrl+U", false},
        {"mnuLine", "mnuFile", "-", "", true},
        {"mnuToTray", "mnuFile", "&Hide to system tray", "Ctrl+T", false},
        {"mnuLineb", "mnuFile", "-", "", true},
        {"mnuExit", "mnuFile", "E&xit", "Ctrl+X", false},
        {"mnuHelp", "", "&Help", "", false},
        {"mnuAbout", "mnuHelp", "&About Velkrom", "F1", false},
        {"mnuPopUp", "", "&Menu", "", false},
        {"mnuShow", "mnuPopUp", "&Hide", "", false},
        {"mnuLinea", "mnuPopUp", "-", "", true},
        {"mnuExit2", "mnuPopUp", "&Exit", "", false},
    };
    Form form(mainWindowDefinition());
    std::vector<std::string> order;
    for (const auto& c : form.controls())
        if (c->kind() == ControlKind::Menu) order.push_back(c->name());
    ASSERT_EQ(order.size(), std::size(menus));
    for (std::size_t i = 0; i < order.size(); ++i) {
        const M& m = menus[i];
        SCOPED_TRACE(m.name);
        EXPECT_EQ(order[i], m.name);
        const Control& c = form[m.name];
        EXPECT_EQ(c.def().parent, m.parent);
        EXPECT_EQ(c.caption(), m.caption);
        EXPECT_EQ(c.def().shortcut, m.shortcut);
        EXPECT_EQ(c.def().separator, m.separator);
        EXPECT_FALSE(c.checked());
        EXPECT_TRUE(c.enabled());
        EXPECT_EQ(c.visible(), std::string(m.name) != "mnuPopUp");
    }
    EXPECT_TRUE(form["mnuDefragMemory3"].def().checkable);
}

}  // namespace
}  // namespace vk
