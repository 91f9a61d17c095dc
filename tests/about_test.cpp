#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "SimApp.h"
#include "about/AboutDefinition.h"
#include "about/AboutDialog.h"

namespace vk {
namespace {

TEST(AboutDefinition, WindowAndControls) {
    const WindowDef& def = aboutWindowDefinition();
    EXPECT_EQ(def.name, "frmAbout");
    EXPECT_EQ(def.caption, "About Velkrom");
    EXPECT_EQ(def.clientWidth, 2235);
    EXPECT_EQ(def.clientHeight, 2865);
    EXPECT_FALSE(def.sizable);
    EXPECT_FALSE(def.minimizeBox);
    EXPECT_FALSE(def.maximizeBox);
    EXPECT_FALSE(def.showInTaskbar);
    EXPECT_TRUE(def.hasIcon);

    const auto L = ControlKind::Label;
    const auto B = ControlKind::Button;
    const struct {
        const char* name;
        ControlKind kind;
        const char* caption;
        double l, t, w, h, points;
    } rows[] = {
        {"picIcon", ControlKind::PictureBox, "", 840, 120, 540, 540, 0},
        {"lblTitle", L, "Velkrom", 0, 720, 2325, 360, 12},
        {"lblVersion", L, "VERSION", 0, 1080, 2295, 255, 8.25},
        {"lblAuthor", L, "by Tessaly", 120, 1440, 2055, 255, 9.75},
        {"cmdOK", B, "OK", 480, 1920, 1260, 345, 0},
        {"cmdSysInfo", B, "&System Info...", 480, 2400, 1245, 345, 0},
    };
    Form form(def);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const Control& c = form[r.name];
        EXPECT_EQ(c.kind(), r.kind);
        EXPECT_EQ(c.def().parent, "");
        EXPECT_EQ(c.caption(), r.caption);
        EXPECT_EQ(c.left(), r.l);
        EXPECT_EQ(c.top(), r.t);
        EXPECT_EQ(c.width(), r.w);
        EXPECT_EQ(c.height(), r.h);
        EXPECT_EQ(c.def().font.points, r.points);
        if (r.kind == L) {
            EXPECT_TRUE(c.def().font.bold);
            EXPECT_FALSE(c.def().font.face.empty());
            EXPECT_EQ(c.def().align, Align::Center);
        }
    }
    EXPECT_EQ(form["lblTitle"].def().foreColor, (Rgb{0, 0, 0}));
    EXPECT_TRUE(form["picIcon"].def().showsIcon);
    EXPECT_EQ(form["picIcon"].def().border, Border::Sunken3D);
    // Enter and Esc both press OK; System Info is not the default.
    EXPECT_TRUE(form["cmdOK"].def().isDefault);
    EXPECT_TRUE(form["cmdOK"].def().isCancel);
    EXPECT_FALSE(form["cmdSysInfo"].def().isDefault);
    EXPECT_FALSE(form["cmdSysInfo"].def().isCancel);
}

TEST(AboutDefinition, FocusOrderIsDeclarationOrder) {
    std::vector<std::string> focusable;
    for (const ControlDef& c : aboutWindowDefinition().controls) {
        if (c.kind != ControlKind::Label) focusable.push_back(c.name);
    }
    EXPECT_EQ(focusable, (std::vector<std::string>{"cmdOK", "picIcon", "cmdSysInfo"}));
}

struct About : test::SimApp {
    About() { start(); }
    AboutDialog& about() { return program->about(); }
    Form& dialog() { return *about().form(); }
    void open() { click("mnuAbout"); }
};

TEST(AboutDialogOpening, ShowsTheTextsAndDisablesTheMainWindow) {
    About a;
    a.open();
    ASSERT_TRUE(a.about().loaded());
    EXPECT_FALSE(a.w().window.enabled());
    EXPECT_EQ(a.dialog().window().caption(), "About Velkrom");
    EXPECT_EQ(a.dialog()["lblVersion"].caption(), "v2.0");
    EXPECT_EQ(a.dialog()["lblTitle"].caption(), "Velkrom");
    EXPECT_EQ(a.dialog()["lblAuthor"].caption(), "by Tessaly");
    EXPECT_TRUE(a.sim.toolkit.peer(a.dialog().window())->shown);
    EXPECT_EQ(a.sim.toolkit.created.back(), "frmAbout");
}

TEST(AboutDialogOpening, CentredOnTheMainWindowWhereverItIs) {
    const struct {
        double left, top, width, height;
    } rows[] = {
        {0, 0, 4080, 3390},         {6000, 4500, 4200, 3900},
        {-3000, -1500, 4080, 3390},  // partly off the screen at the top left
        {28000, 16000, 4080, 3390},  // partly off at the bottom right
        {150, 300, 1200, 900},       // smaller than the dialog
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.left);
        About a;
        // The dialog's screen is fine enough to keep half twips.
        a.sim.toolkit.twipsPerPixel = 0.5;
        a.w().window.setLeft(r.left);
        a.w().window.setTop(r.top);
        a.w().window.setWidth(r.width);
        a.w().window.setHeight(r.height);
        a.open();
        const Control& d = a.dialog().window();
        const Control& m = a.w().window;  // as the screen took it
        EXPECT_NEAR(m.left(), r.left, 15);
        EXPECT_EQ(d.left() + d.width() / 2, m.left() + m.width() / 2);
        EXPECT_EQ(d.top() + d.height() / 2, m.top() + m.height() / 2);
        EXPECT_EQ(d.width(), 2235);
        EXPECT_EQ(d.height(), 2865);
    }
}

TEST(AboutDialogOpening, EachOpeningBuildsTheDialogAfresh) {
    About a;
    a.open();
    a.dialog()["lblAuthor"].setCaption("changed");
    a.sim.click(a.dialog(), "cmdOK");
    a.open();
    EXPECT_EQ(a.dialog()["lblAuthor"].caption(), "by Tessaly");
    EXPECT_EQ(std::count(a.sim.toolkit.created.begin(), a.sim.toolkit.created.end(), "frmAbout"),
              2);
}

using Closing = std::function<void(About&)>;

TEST(AboutDialogClosing, EveryWayEnablesTheMainWindow) {
    const struct {
        const char* name;
        Closing close;
    } rows[] = {
        // Enter and Esc press OK.
        {"OK, Enter or Esc", [](About& a) { a.sim.click(a.dialog(), "cmdOK"); }},
        {"close box or Alt+F4",
         [](About& a) { a.sim.post(a.dialog(), "frmAbout", EventType::CloseRequest); }},
        {"unloaded by the program", [](About& a) { a.about().unload(); }},
        {"the tray toggle",
         [](About& a) {
             EventArgs e;
             e.message = MouseMessage::LeftDoubleClick;
             a.sim.post(a.form(), "TrayIcon", EventType::MouseMove, e);
         }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        About a;
        a.open();
        r.close(a);
        EXPECT_FALSE(a.about().loaded());
        EXPECT_TRUE(a.w().window.enabled());
        EXPECT_EQ(a.sim.toolkit.destroyed.back(), "frmAbout");
        a.about().unload();  // a second unload does nothing
        EXPECT_EQ(
            std::count(a.sim.toolkit.destroyed.begin(), a.sim.toolkit.destroyed.end(), "frmAbout"),
            1);
    }
}

TEST(AboutDialogClosing, EventsQueuedForAClosedDialogAreDropped) {
    About a;
    a.open();
    Form& old = a.dialog();
    // OK is pressed, and a second press is already waiting behind it.
    a.sim.dispatcher.post(old, "cmdOK", EventType::Click);
    a.sim.dispatcher.post(old, "cmdSysInfo", EventType::Click);
    a.sim.settle();
    EXPECT_FALSE(a.about().loaded());
    EXPECT_TRUE(a.sim.boxes.shown.empty());
}

TEST(AboutDialogOpening, AFailedLoadLeavesTheMainWindowEnabled) {
    sim::SimPlatform sim;
    test::RefusingToolkit toolkit(sim.toolkit, "frmAbout");  // the window refuses to be placed
    Services services{sim.dispatcher, toolkit,      sim.memory, sim.allocator, sim.tray, sim.boxes,
                      sim.registry,   sim.programs, ""};
    Program program(services);
    program.start();
    sim.click(program.main().form, "mnuAbout");
    EXPECT_FALSE(program.about().loaded());
    EXPECT_TRUE(program.main().window.enabled());
    EXPECT_EQ(sim.toolkit.destroyed, (std::vector<std::string>{"frmAbout"}));
}

// GetKeyValue over the in-memory registry.
struct KeyValue : ::testing::Test {
    KeyValue() : about(sim.services) {}
    bool get(std::string& value, const std::string& name = "PATH") {
        return about.GetKeyValue(RegRoot::LocalMachine, kSysInfoKey, name, value);
    }
    static std::vector<std::uint8_t> bytes(const std::string& text) {
        return {text.begin(), text.end()};
    }
    sim::SimPlatform sim;
    AboutDialog about;
};

TEST_F(KeyValue, TrimsOnlyOneTerminatingZeroAndReadsTypesOneAndFour) {
    const std::string full(1023, 'a');
    const struct {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        bool found;
        std::string value;
    } rows[] = {
        {"with its zero", RegType::String, bytes(std::string("C:\\msinfo32.exe") + '\0'), true,
         "C:\\msinfo32.exe"},
        {"without a zero", RegType::String, bytes("C:\\msinfo32.exe"), true, "C:\\msinfo32.exe"},
        {"two zeros", RegType::String, bytes(std::string("ab") + '\0' + '\0'), true,
         std::string("ab") + '\0'},
        {"one character", RegType::String, bytes("x"), true, "x"},
        {"only a zero", RegType::String, {0}, true, ""},
        {"empty", RegType::String, {}, true, ""},
        {"1024 bytes with the zero", RegType::String, bytes(full + '\0'), true, full},
        {"1024 bytes without a zero", RegType::String, bytes(full + 'b'), true, full + 'b'},
        {"over 1024 bytes", RegType::String, bytes(full + "bc"), false, ""},
        {"number", RegType::Dword, {0x78, 0x56, 0x34, 0x12}, true, "305419896"},
        {"small number", RegType::Dword, {5, 0, 0, 0}, true, "5"},
        {"expandable text", 2, bytes(std::string("%windir%") + '\0'), true, "before"},
        {"binary", 3, {1, 2, 3}, true, "before"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        sim.registry.setValue(kSysInfoKey, "PATH", r.type, r.data);
        std::string value = "before";
        EXPECT_EQ(get(value), r.found);
        EXPECT_EQ(value, r.value);
    }
}

TEST_F(KeyValue, OpensWithTheAccessMaskAndClosesOnEveryPath) {
    const struct {
        const char* name;
        std::function<void(sim::SimRegistry&)> setUp;
        std::vector<std::string> log;
    } rows[] = {
        {"found",
         [](sim::SimRegistry& r) { r.setString(kSysInfoKey, "PATH", "x"); },
         {std::string("open ") + kSysInfoKey, "query PATH", "close 256"}},
        {"value missing",
         [](sim::SimRegistry& r) { r.setString(kSysInfoKey, "OTHER", "x"); },
         {std::string("open ") + kSysInfoKey, "query PATH", "close 256"}},
        // The failure path closes even a key that never opened.
        {"key missing", [](sim::SimRegistry&) {}, {std::string("open ") + kSysInfoKey, "close 0"}},
        {"open refused",
         [](sim::SimRegistry& r) {
             r.setString(kSysInfoKey, "PATH", "x");
             r.denyOpen = true;
         },
         {std::string("open ") + kSysInfoKey, "close 0"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        sim::SimPlatform fresh;
        AboutDialog dialog(fresh.services);
        r.setUp(fresh.registry);
        std::string value = "before";
        const bool found = dialog.GetKeyValue(RegRoot::LocalMachine, kSysInfoKey, "PATH", value);
        EXPECT_EQ(found, value == "x");
        if (!found) {
            EXPECT_EQ(value, "");
        }
        EXPECT_EQ(fresh.registry.log, r.log);
        EXPECT_EQ(fresh.registry.lastAccess, (std::vector<std::uint32_t>{0x20019}));
    }
}

// StartSysInfo: the two lookups in order, then the start or the failure box.
TEST(SysInfo, LookupOrderAndOutcomes) {
    const std::string folder = "C:\\Program Files\\Common Files\\System\\MSInfo";
    const std::string inFolder = folder + "\\MSINFO32.EXE";
    const struct {
        const char* name;
        std::function<void(sim::SimPlatform&)> setUp;
        std::vector<std::string> started;
        std::vector<std::string> probed;
        bool failureBox;
    } rows[] = {
        {"full path, started without a test",
         [](sim::SimPlatform& s) {
             s.registry.setString(kSysInfoKey, "PATH", "C:\\x\\msinfo.exe");
         },
         {"C:\\x\\msinfo.exe"},
         {},
         false},
        {"full path that cannot be started",
         [](sim::SimPlatform& s) {
             s.registry.setString(kSysInfoKey, "PATH", "C:\\gone.exe");
             s.programs.unstartable.insert("C:\\gone.exe");
         },
         {},
         {},
         true},
        {"full path of another type gives nothing to start",
         [](sim::SimPlatform& s) {
             s.registry.setValue(kSysInfoKey, "PATH", 3, {1, 2});
         },
         {},
         {},
         true},
        {"folder holding the tool",
         [&](sim::SimPlatform& s) {
             s.registry.setString(kSysInfoFolderKey, "MSINFO", folder);
             s.programs.files.insert(inFolder);
         },
         {inFolder},
         {inFolder},
         false},
        {"folder without the tool",
         [&](sim::SimPlatform& s) { s.registry.setString(kSysInfoFolderKey, "MSINFO", folder); },
         {},
         {inFolder},
         true},
        {"empty folder is not found",
         [](sim::SimPlatform& s) {
             s.registry.setString(kSysInfoFolderKey, "MSINFO", "");
             s.programs.files.insert("\\MSINFO32.EXE");
         },
         {},
         {},
         true},
        {"neither value", [](sim::SimPlatform&) {}, {}, {}, true},
        {"registry refused",
         [&](sim::SimPlatform& s) {
             s.registry.setString(kSysInfoKey, "PATH", "C:\\x\\msinfo.exe");
             s.registry.denyOpen = true;
         },
         {},
         {},
         true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        sim::SimPlatform s;
        r.setUp(s);
        AboutDialog dialog(s.services);
        dialog.StartSysInfo();
        EXPECT_EQ(s.programs.started, r.started);
        EXPECT_EQ(s.programs.probed, r.probed);
        ASSERT_EQ(s.boxes.shown.size(), r.failureBox ? 1u : 0u);
        if (r.failureBox) {
            EXPECT_EQ(s.boxes.shown[0].text, "Unable to start System Information!");
            EXPECT_EQ(s.boxes.shown[0].title, "Error");
            EXPECT_EQ(s.boxes.shown[0].icon, BoxIcon::Critical);
        }
        // The full path is asked for first; the folder only when it is missing.
        const std::vector<std::string>& log = s.registry.log;
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log[0], std::string("open ") + kSysInfoKey);
    }
}

TEST(SysInfo, TheFolderIsAskedForOnlyAfterTheFullPathIsMissing) {
    sim::SimPlatform s;
    s.registry.setString(kSysInfoFolderKey, "MSINFO", "C:\\Tools");
    AboutDialog dialog(s.services);
    dialog.StartSysInfo();
    std::vector<std::string> opens;
    for (const std::string& entry : s.registry.log) {
        if (entry.rfind("open ", 0) == 0) opens.push_back(entry.substr(5));
    }
    EXPECT_EQ(opens, (std::vector<std::string>{kSysInfoKey, kSysInfoFolderKey}));
}

TEST(SysInfo, EachPressRepeatsTheLookupAndTheDialogStaysOpen) {
    About a;
    a.sim.registry.setString(kSysInfoKey, "PATH", "C:\\x\\msinfo.exe");
    a.open();
    a.sim.click(a.dialog(), "cmdSysInfo");
    a.sim.click(a.dialog(), "cmdSysInfo");
    EXPECT_EQ(a.sim.programs.started.size(), 2u);
    a.sim.registry.keys.clear();
    a.sim.click(a.dialog(), "cmdSysInfo");
    EXPECT_EQ(a.sim.boxes.shown.size(), 1u);
    EXPECT_TRUE(a.about().loaded());
    EXPECT_FALSE(a.w().window.enabled());
}

}  // namespace
}  // namespace vk
