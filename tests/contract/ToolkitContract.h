#pragma once
// What every window toolkit must do for the logic, as one typed suite. A
// toolkit's test program instantiates it with its harness:
//
//   INSTANTIATE_TYPED_TEST_SUITE_P(Qt, ToolkitContract, QtHarness);
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ToolkitHarness.h"
#include "platform/EndRequest.h"
#include "platform/Errors.h"
#include "platform/Form.h"
#include "platform/NotifyIcon.h"

namespace vk::contract {

// A second window, loaded for one case and unloaded after it.
class LoadedWindow {
  public:
    LoadedWindow(ToolkitHarness& harness, const WindowDef& def) : form(def), harness_(harness) {
        harness_.toolkit().createWindow(form);
        harness_.dispatcher().attach(form);
    }
    ~LoadedWindow() {
        harness_.dispatcher().detach(form);
        harness_.toolkit().destroyWindow(form);
    }
    LoadedWindow(const LoadedWindow&) = delete;
    LoadedWindow& operator=(const LoadedWindow&) = delete;

    Form form;

  private:
    ToolkitHarness& harness_;
};

// The record of a tray window's entry (contractTrayWindow), as the program
// fills it: id 1, the window's icon, the tip "Velkrom", mouse moves to
// TrayIcon.
inline NotifyIconBytes trayRecord(const Form& tray) {
    NotifyIconData record;
    record.cbSize = kNotifyIconDataSize;
    record.hWnd = tray["TrayIcon"].handle();
    record.uID = 1;
    record.uFlags = NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip;
    record.uCallbackMessage = MouseMessage::Move;
    record.hIcon = tray.window().icon();
    record.szTip = fixedLengthTip("Velkrom");
    return encodeNotifyIcon(record);
}

template <class Harness>
class ToolkitContract : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(harness.twipsPerPixel(), 15.0) << "the tables are for 96 DPI";
        for (const char* name : {"frmTest", "fraBox", "lblOut", "picBar", "cmdOK", "cmdCancel",
                                 "mnuItem", "mnuCheck", "mnuSubItem", "mnuOtherItem", "mnuPop"}) {
            const std::string control = name;
            for (EventType type :
                 {EventType::Click, EventType::DblClick, EventType::CloseRequest}) {
                window.on(control, type,
                          [this, control, type] { log.push_back(describe(control, type)); });
            }
        }
    }
    static std::string describe(const std::string& name, EventType type) {
        const char* what = type == EventType::Click      ? "Click"
                           : type == EventType::DblClick ? "DblClick"
                                                         : "CloseRequest";
        return name + "_" + what;
    }

    Harness harness;
    std::vector<std::string> log;
    LoadedWindow loaded_{harness, contractWindow()};
    Form& window = loaded_.form;
};

TYPED_TEST_SUITE_P(ToolkitContract);

TYPED_TEST_P(ToolkitContract, ControlsSitAtTheirPixelsInTheirContainers) {
    const struct {
        const char* control;
        Pixels pixels;
    } rows[] = {
        {"fraBox", {10, 10, 100, 60}}, {"lblInFrame", {10, 20, 40, 17}},
        {"lblOut", {120, 10, 60, 17}}, {"picBar", {10, 80, 100, 17}},
        {"picInner", {0, 0, 40, 17}},  // inside the bar's border
        {"cmdOK", {120, 40, 60, 23}},
    };
    for (const auto& r : rows) {
        const Pixels p = this->harness.pixels(this->window, r.control);
        EXPECT_EQ(p, r.pixels) << r.control << ": " << p.left << "," << p.top << " " << p.width
                               << "x" << p.height;
    }
}

TYPED_TEST_P(ToolkitContract, GeometryTakesWholePixelsAndReportsThemBack) {
    const struct {
        bool width;  // else left
        double twips;
        double shown;  // twips of the pixels the screen took
        int pixels;
    } rows[] = {
        {true, 1807.5, 1815, 121},  // 120.5 pixels round away from zero
        {true, 1800, 1800, 120},   {true, 7, 0, 0}, {false, 100, 105, 7}, {false, -22.5, -30, -2},
    };
    Control& bar = this->window["picInner"];
    for (const auto& r : rows) {
        if (r.width) {
            bar.setWidth(r.twips);
            EXPECT_EQ(bar.width(), r.shown) << r.twips;
            EXPECT_EQ(this->harness.pixels(this->window, "picInner").width, r.pixels) << r.twips;
        } else {
            bar.setLeft(r.twips);
            EXPECT_EQ(bar.left(), r.shown) << r.twips;
            EXPECT_EQ(this->harness.pixels(this->window, "picInner").left, r.pixels) << r.twips;
        }
    }
}

TYPED_TEST_P(ToolkitContract, ImpossibleGeometryIsRefusedAndChangesNothing) {
    Control& bar = this->window["picInner"];
    const double before = bar.width();
    const int pixelsBefore = this->harness.pixels(this->window, "picInner").width;
    for (double bad : {-15.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), 1e12}) {
        EXPECT_THROW(bar.setWidth(bad), PropertyRefused) << bad;
        EXPECT_EQ(bar.width(), before) << bad;
        EXPECT_EQ(this->harness.pixels(this->window, "picInner").width, pixelsBefore) << bad;
    }
    EXPECT_THROW(bar.setLeft(std::numeric_limits<double>::quiet_NaN()), PropertyRefused);
}

TYPED_TEST_P(ToolkitContract, CaptionsVisibilityAndStateReachTheScreen) {
    for (const char* name : {"lblOut", "fraBox", "cmdOK", "frmTest"}) {
        const std::string text = std::string("New ") + name;
        this->window[name].setCaption(text);
        EXPECT_EQ(this->harness.shownText(this->window, name), text);
    }
    EXPECT_TRUE(this->harness.shown(this->window, "picInner"));
    this->window["picInner"].setVisible(false);
    EXPECT_FALSE(this->harness.shown(this->window, "picInner"));
    EXPECT_TRUE(this->harness.enabledOnScreen(this->window, "cmdOK"));
    this->window["cmdOK"].setEnabled(false);
    EXPECT_FALSE(this->harness.enabledOnScreen(this->window, "cmdOK"));
}

// Shortcuts work while the window and every menu above the entry are
// enabled; a menu entry chosen by hand reaches its handler.
TYPED_TEST_P(ToolkitContract, MenuEntriesAndShortcutsReachTheirHandlers) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    h.showActive(form);
    h.pressShortcut(form, "Ctrl+I");
    h.pressShortcut(form, "F2");
    h.chooseMenuEntry(form, "mnuSubItem");
    EXPECT_EQ(this->log, (std::vector<std::string>{"mnuItem_Click", "mnuOtherItem_Click",
                                                   "mnuSubItem_Click"}));
    this->log.clear();
    form.window().setEnabled(false);
    h.pressShortcut(form, "Ctrl+I");
    EXPECT_TRUE(this->log.empty()) << "a disabled window takes no shortcuts";
    form.window().setEnabled(true);
    h.showActive(form);
    form["mnuTop"].setEnabled(false);
    h.pressShortcut(form, "Ctrl+I");
    h.pressShortcut(form, "F2");
    EXPECT_EQ(this->log, (std::vector<std::string>{"mnuOtherItem_Click"}))
        << "a disabled menu takes its entries' shortcuts with it";
}

// A double-click goes to the control under the pointer, and no further: a
// control without a handler takes it too, so a frame or window behind it
// hears nothing.
TYPED_TEST_P(ToolkitContract, ADoubleClickGoesToTheControlUnderThePointerOnly) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    h.showActive(form);
    const struct {
        const char* control;
        int x, y;
        std::vector<std::string> posted;
    } rows[] = {
        {"lblOut", 5, 5, {"lblOut_DblClick"}},
        {"fraBox", 50, 50, {"fraBox_DblClick"}},
        {"lblInFrame", 5, 5, {}},
        {"picInner", 5, 5, {}},
        {"picBar", 80, 6, {"picBar_DblClick"}},  // beside its inner box
        {"frmTest", 195, 140, {"frmTest_DblClick"}},
    };
    for (const auto& r : rows) {
        this->log.clear();
        h.doubleClick(form, r.control, r.x, r.y);
        // Events arrive in order: once a marker posted now is through, the
        // double-click has been delivered too.
        h.postLater(form, "cmdCancel", EventType::Click);
        ASSERT_TRUE(h.runUntil([&] {
            return !this->log.empty() && this->log.back() == "cmdCancel_Click";
        })) << r.control;
        this->log.pop_back();
        EXPECT_EQ(this->log, r.posted) << r.control;
    }
}

// The close box asks the logic, which decides; the window stays until it
// does. A window that takes no input has a dead close box.
TYPED_TEST_P(ToolkitContract, TheCloseBoxAsksAndTheWindowStays) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    h.showActive(form);
    h.pressCloseBox(form);
    ASSERT_TRUE(h.runUntil([&] { return !this->log.empty(); }));
    EXPECT_EQ(this->log, (std::vector<std::string>{"frmTest_CloseRequest"}));
    EXPECT_TRUE(h.shown(form, "frmTest"));
    this->log.clear();
    form.window().setEnabled(false);
    h.pressCloseBox(form);
    // Events arrive in order: a marker posted now comes after anything the
    // close box sent.
    h.postLater(form, "lblOut", EventType::Click);
    ASSERT_TRUE(h.runUntil([&] { return !this->log.empty(); }));
    EXPECT_EQ(this->log, (std::vector<std::string>{"lblOut_Click"}));
}

TYPED_TEST_P(ToolkitContract, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    h.showActive(form);
    h.pressDialogKey(form, true);
    h.pressDialogKey(form, false);
    ASSERT_TRUE(h.runUntil([&] { return this->log.size() >= 2; }));
    EXPECT_EQ(this->log, (std::vector<std::string>{"cmdOK_Click", "cmdCancel_Click"}));
}

TYPED_TEST_P(ToolkitContract, ACheckMarkChangesOnlyWhenTheLogicSetsIt) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    h.chooseMenuEntry(form, "mnuCheck");
    ASSERT_TRUE(h.runUntil([&] { return this->log.size() == 1; }));
    EXPECT_FALSE(h.checkedOnScreen(form, "mnuCheck")) << "the handler did not set Checked";
    form["mnuCheck"].setChecked(true);
    EXPECT_TRUE(h.checkedOnScreen(form, "mnuCheck"));
    h.chooseMenuEntry(form, "mnuCheck");
    ASSERT_TRUE(h.runUntil([&] { return this->log.size() == 2; }));
    EXPECT_TRUE(h.checkedOnScreen(form, "mnuCheck"));
    EXPECT_EQ(this->log, (std::vector<std::string>{"mnuCheck_Click", "mnuCheck_Click"}));
}

// The menu bar belongs to the window and is dead while it takes no input; a
// top-level menu kept out of the bar opens as a pop-up even then.
TYPED_TEST_P(ToolkitContract, ADisabledWindowsMenuBarIsDeadItsPopUpIsNot) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    h.showActive(form);
    form.window().setEnabled(false);
    h.chooseMenuEntry(form, "mnuItem");
    h.choosePopupEntry(form, "mnuHidden", "mnuPop");
    ASSERT_TRUE(h.runUntil([&] { return !this->log.empty(); }));
    EXPECT_EQ(this->log, (std::vector<std::string>{"mnuPop_Click"}));
}

// A picture box holds a window's icon or nothing; no other control holds a
// picture, and no handle that names no icon is taken.
TYPED_TEST_P(ToolkitContract, APictureBoxTakesIconsOnly) {
    Form& form = this->window;
    const std::uintptr_t icon = form.window().icon();
    ASSERT_NE(icon, 0u);
    Control& picture = form["picBar"];
    EXPECT_NO_THROW(picture.setPicture(icon));
    EXPECT_EQ(picture.picture(), icon);
    for (const char* other : {"lblOut", "fraBox", "cmdOK", "frmTest", "mnuItem"}) {
        EXPECT_THROW(form[other].setPicture(icon), PropertyRefused) << other;
        EXPECT_EQ(form[other].picture(), 0u) << other;
    }
    EXPECT_THROW(picture.setPicture(form["cmdOK"].handle()), PropertyRefused)
        << "a window's handle names no icon";
    EXPECT_EQ(picture.picture(), icon);
    EXPECT_NO_THROW(picture.setPicture(0));
    EXPECT_EQ(picture.picture(), 0u);
}

TYPED_TEST_P(ToolkitContract, AWindowThatCannotBeBuiltLeavesNothingBehind) {
    WindowDef def = contractWindow();
    def.name = "frmBroken";
    def.controls.push_back(
        makeControl(ControlKind::Label, "lblOrphan", "fraMissing", "", 0, 0, 150, 150));
    Form broken(def);
    EXPECT_THROW(this->harness.toolkit().createWindow(broken), PropertyRefused);
    for (const auto& control : broken.controls()) {
        EXPECT_EQ(control->peer(), nullptr) << control->name();
    }
    EXPECT_TRUE(this->harness.windowGone(broken));
}

TYPED_TEST_P(ToolkitContract, TimersTickFromTheLoopAtMostEveryTenMilliseconds) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    int ticks = 0;
    form.on("tmrFast", EventType::Timer, [&] { ++ticks; });
    const std::int64_t start = h.nowMs();
    form["tmrFast"].setEnabled(true);
    ASSERT_TRUE(h.runUntil([&] { return ticks >= 20; }));
    const std::int64_t elapsed = h.nowMs() - start;
    form["tmrFast"].setEnabled(false);
    EXPECT_GE(elapsed, 190) << "20 ticks take at least 20 periods of 10 ms, less one";
    const int stopped = ticks;
    // A marker event posted now arrives after any tick already due.
    bool marker = false;
    form.on("lblOut", EventType::Click, [&] { marker = true; });
    h.postLater(form, "lblOut", EventType::Click);
    ASSERT_TRUE(h.runUntil([&] { return marker; }));
    EXPECT_EQ(ticks, stopped) << "a stopped timer does not tick";
}

// While a handler waits in a modal box, ticks and clicks that arrive wait
// too, and arrive after OK in order.
TYPED_TEST_P(ToolkitContract, AModalBoxHoldsBackEveryEventUntilOk) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    h.showActive(form);
    std::vector<std::string> order;
    int ticks = 0;
    int ticksWhileOpen = -1;
    form.on("tmrFast", EventType::Timer, [&] { ++ticks; });
    form.on("cmdCancel", EventType::Click, [&] { order.push_back("cancel"); });
    form.on("cmdOK", EventType::Click, [&] {
        const int before = ticks;
        h.answerNextBox(300, [&, before] {
            // 300 ms of a 10 ms timer came due while the box waited.
            ticksWhileOpen = ticks - before;
            h.clickButton(form, "cmdCancel");
        });
        h.boxes().show("Error text", "Error", BoxIcon::Critical);
        order.push_back("box closed");
    });
    form["tmrFast"].setEnabled(true);
    h.clickButton(form, "cmdOK");
    ASSERT_TRUE(h.runUntil([&] { return order.size() == 2; }));
    EXPECT_EQ(ticksWhileOpen, 0);
    EXPECT_EQ(order, (std::vector<std::string>{"box closed", "cancel"}));
    const int after = ticks;
    ASSERT_TRUE(h.runUntil([&] { return ticks > after; })) << "ticks resume after OK";
}

// A request to end the program closes the box that waits as if OK was
// pressed; the handler that opened it finishes, and the close request comes
// next, before what waited already.
TYPED_TEST_P(ToolkitContract, AnEndRequestClosesTheBoxAndIsDeliveredFirst) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    h.showActive(form);
    std::vector<std::string> order;
    bool openAfterRequest = true;
    form.on("cmdCancel", EventType::Click, [&] { order.push_back("cancel"); });
    form.on("frmTest", EventType::CloseRequest, [&] { order.push_back("close"); });
    form.on("cmdOK", EventType::Click, [&] {
        h.answerNextBox(100, [&] {
            h.clickButton(form, "cmdCancel");
            requestEnd(h.dispatcher(), h.boxes(), form);
            openAfterRequest = h.boxOpen();
        });
        h.boxes().show("Error text", "Error", BoxIcon::Critical);
        order.push_back("box closed");
    });
    h.clickButton(form, "cmdOK");
    ASSERT_TRUE(h.runUntil([&] { return order.size() == 3; }));
    EXPECT_FALSE(openAfterRequest) << "the box waited on after the request";
    EXPECT_EQ(order, (std::vector<std::string>{"box closed", "close", "cancel"}));
    EXPECT_FALSE(h.boxes().dismissOpen()) << "no box is open any more";
}

TYPED_TEST_P(ToolkitContract, AHandlerMayDestroyTheWindowItRunsFrom) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    h.showActive(form);
    form.on("cmdOK", EventType::Click, [&] { h.toolkit().destroyWindow(form); });
    h.clickButton(form, "cmdOK");
    EXPECT_EQ(form["cmdOK"].peer(), nullptr);
    EXPECT_EQ(form.window().handle(), 0u);
    ASSERT_TRUE(h.runUntil([&] { return h.windowGone(form); })) << "gone once back in the loop";
    form["lblOut"].setCaption("no widget behind it any more");
}

// A bordered box shows its children inside its border and clips them to
// that area; the border keeps its width in pixels as the box grows.
TYPED_TEST_P(ToolkitContract, ABorderedBoxClipsItsChildrenToTheAreaInsideTheBorder) {
    ToolkitHarness& h = this->harness;
    const struct {
        const char* control;
        double width;  // twips set first; 0 keeps the definition's
        Pixels inside;
    } rows[] = {
        {"picInner", 0, {0, 0, 40, 17}},  // no border
        {"picBar", 0, {2, 2, 96, 13}},
        {"picBar", 3000, {2, 2, 196, 13}},
    };
    for (const auto& r : rows) {
        if (r.width > 0) this->window[r.control].setWidth(r.width);
        const Pixels p = h.insideArea(this->window, r.control);
        EXPECT_EQ(p, r.inside) << r.control << " " << r.width << ": " << p.left << "," << p.top
                               << " " << p.width << "x" << p.height;
    }
    const Pixels inner = h.pixelsFromContainerCorner(this->window, "picInner");
    EXPECT_EQ(inner, (Pixels{2, 2, 40, 17}))
        << "the child sits inside the border: " << inner.left << "," << inner.top;
}

TYPED_TEST_P(ToolkitContract, TheWindowReportsItsOuterFrameInTwips) {
    ToolkitHarness& h = this->harness;
    Control& frm = this->window.window();
    frm.setLeft(1500);
    frm.setTop(3000);
    h.showActive(this->window);
    const Pixels frame = h.outerFrame(this->window);
    EXPECT_EQ(frm.left(), frame.left * 15.0);
    EXPECT_EQ(frm.top(), frame.top * 15.0);
    EXPECT_EQ(frm.width(), frame.width * 15.0);
    EXPECT_EQ(frm.height(), frame.height * 15.0);
    EXPECT_EQ(frame.left, 100) << "placed by the logic, not centred";
    EXPECT_EQ(frame.top, 200) << "placed by the logic, not centred";
    EXPECT_GE(frame.width, 200) << "the frame holds the client area";
    EXPECT_GE(frame.height, 150) << "the frame holds the client area";
}

// The program minimises its window before the first show, as a start
// without a tray entry does; the user brings it back from the taskbar,
// which the window reports once as Restore. The program's own restore
// reports nothing.
TYPED_TEST_P(ToolkitContract, AWindowTheUserRestoresRaisesRestore) {
    ToolkitHarness& h = this->harness;
    Form& form = this->window;
    int restores = 0;
    form.on("frmTest", EventType::Restore, [&] { ++restores; });
    form.window().setWindowState(WindowState::Minimized);
    form.window().peer()->setVisible(true);
    EXPECT_TRUE(h.shown(form, "frmTest")) << "on the taskbar";
    EXPECT_EQ(form.window().windowState(), WindowState::Minimized);

    h.restoreByUser(form);
    ASSERT_TRUE(h.runUntil([&] { return restores == 1; }));
    EXPECT_EQ(form.window().windowState(), WindowState::Normal);

    // The program minimises it and restores it, each change through the
    // loop before the next, as separate handlers make them. Events arrive in
    // order: a marker posted after a change comes after anything it raised.
    for (WindowState state : {WindowState::Minimized, WindowState::Normal}) {
        form.window().setWindowState(state);
        EXPECT_EQ(form.window().windowState(), state);
        this->log.clear();
        h.postLater(form, "lblOut", EventType::Click);
        ASSERT_TRUE(h.runUntil([&] { return !this->log.empty(); }));
    }
    EXPECT_EQ(form.window().windowState(), WindowState::Normal);
    EXPECT_EQ(restores, 1) << "the program's own restore is no Restore event";
}

// An entry shows from its add to its delete; a second add or delete of it
// is refused, and a window that does not exist gets none.
TYPED_TEST_P(ToolkitContract, ATrayEntryShowsFromItsAddToItsDelete) {
    ToolkitHarness& h = this->harness;
    LoadedWindow tray(h, contractTrayWindow());
    const NotifyIconBytes record = trayRecord(tray.form);
    const auto hWnd = static_cast<std::uint32_t>(tray.form["TrayIcon"].handle());
    ASSERT_NE(hWnd, 0u);
    ASSERT_NE(tray.form.window().icon(), 0u);
    EXPECT_FALSE(h.trayEntry(hWnd, 1));
    // Its answer says whether a notification area holds the entry now;
    // without one (Qt offscreen) the entry waits for the next.
    h.tray().notifyIcon(ShellMessage::Add, record);
    const std::optional<ShownTrayEntry> shown = h.trayEntry(hWnd, 1);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->tip, "Velkrom");
    EXPECT_TRUE(shown->icon);

    EXPECT_EQ(h.tray().notifyIcon(ShellMessage::Add, record), 0) << "the entry exists already";
    EXPECT_NE(h.tray().notifyIcon(ShellMessage::Delete, record), 0);
    EXPECT_FALSE(h.trayEntry(hWnd, 1));
    EXPECT_EQ(h.tray().notifyIcon(ShellMessage::Delete, record), 0) << "nothing left to delete";

    NotifyIconData unknown = decodeNotifyIcon(record);
    unknown.hWnd = 0xEEEEEEEEu;
    EXPECT_EQ(h.tray().notifyIcon(ShellMessage::Add, encodeNotifyIcon(unknown)), 0);
    EXPECT_FALSE(h.trayEntry(0xEEEEEEEEu, 1));
}

// What the user does to the entry reaches TrayIcon's MouseMove handler as
// the mouse message it stands for, as the shell's callback would carry it.
TYPED_TEST_P(ToolkitContract, TrayActivationsReachTrayIconAsMouseMessages) {
    ToolkitHarness& h = this->harness;
    std::vector<std::uint32_t> messages;
    LoadedWindow tray(h, contractTrayWindow());
    tray.form.on("TrayIcon", EventType::MouseMove,
                 Handler([&](const EventArgs& e) { messages.push_back(e.message); }));
    const NotifyIconBytes record = trayRecord(tray.form);
    const auto hWnd = static_cast<std::uint32_t>(tray.form["TrayIcon"].handle());
    h.tray().notifyIcon(ShellMessage::Add, record);
    ASSERT_TRUE(h.trayEntry(hWnd, 1));
    for (TrayActivation how :
         {TrayActivation::Context, TrayActivation::Single, TrayActivation::Double}) {
        h.activateTrayEntry(hWnd, 1, how);
    }
    ASSERT_TRUE(h.runUntil([&] { return messages.size() >= 3; }));
    EXPECT_EQ(messages, (std::vector<std::uint32_t>{MouseMessage::RightUp, MouseMessage::LeftUp,
                                                    MouseMessage::LeftDoubleClick}));
    h.tray().notifyIcon(ShellMessage::Delete, record);
}

REGISTER_TYPED_TEST_SUITE_P(
    ToolkitContract, ControlsSitAtTheirPixelsInTheirContainers,
    GeometryTakesWholePixelsAndReportsThemBack, ImpossibleGeometryIsRefusedAndChangesNothing,
    CaptionsVisibilityAndStateReachTheScreen, MenuEntriesAndShortcutsReachTheirHandlers,
    ADoubleClickGoesToTheControlUnderThePointerOnly, TheCloseBoxAsksAndTheWindowStays,
    EnterPressesTheDefaultButtonAndEscTheCancelButton, ACheckMarkChangesOnlyWhenTheLogicSetsIt,
    ADisabledWindowsMenuBarIsDeadItsPopUpIsNot, APictureBoxTakesIconsOnly,
    AWindowThatCannotBeBuiltLeavesNothingBehind, TimersTickFromTheLoopAtMostEveryTenMilliseconds,
    AModalBoxHoldsBackEveryEventUntilOk, AnEndRequestClosesTheBoxAndIsDeliveredFirst,
    AHandlerMayDestroyTheWindowItRunsFrom, ABorderedBoxClipsItsChildrenToTheAreaInsideTheBorder,
    TheWindowReportsItsOuterFrameInTwips, AWindowTheUserRestoresRaisesRestore,
    ATrayEntryShowsFromItsAddToItsDelete, TrayActivationsReachTrayIconAsMouseMessages);

}  // namespace vk::contract
