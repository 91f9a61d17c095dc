#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SimApp.h"
#include "platform/TrayActivation.h"
#include "tray/TrayEvents.h"

namespace vk {
namespace {

TEST(TrayDecoding, OnlyTheLeftDoubleClickAndTheRightReleaseDoAnything) {
    const struct {
        std::uint32_t message;
        TrayAction action;
    } rows[] = {
        {MouseMessage::Move, TrayAction::None},
        {MouseMessage::LeftDown, TrayAction::None},
        {MouseMessage::LeftUp, TrayAction::None},
        {MouseMessage::LeftDoubleClick, TrayAction::Toggle},
        {MouseMessage::RightDown, TrayAction::None},
        {MouseMessage::RightUp, TrayAction::PopupMenu},
        {MouseMessage::RightDoubleClick, TrayAction::None},
        {0x207, TrayAction::None},  // middle button down, up, double-click
        {0x208, TrayAction::None},
        {0x209, TrayAction::None},
        {0x20A, TrayAction::None},  // wheel
        {0x7B, TrayAction::None},   // context menu
        {0x400, TrayAction::None},  // the shell's own select notifications
        {0, TrayAction::None},
        // Newer shells put the entry's id in the high word.
        {0x0001'0203, TrayAction::Toggle},
        {0x0001'0205, TrayAction::PopupMenu},
        {0x0203'0000, TrayAction::None},
        // What the old coordinate decoding would have taken for the two
        // messages at 96 and 120 DPI.
        {0x2D00, TrayAction::None},
        {0x4B00, TrayAction::None},
        {7725, TrayAction::None},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.message);
        EXPECT_EQ(decodeTrayNotification(r.message), r.action);
    }
}

enum class State { Shown, Hidden, HiddenCaptionBehind };

struct Tray : test::SimApp {
    // `before` sets the platform up before the program starts.
    explicit Tray(std::string commandLine = "",
                  const std::function<void(sim::SimPlatform&)>& before = nullptr)
        : SimApp(std::move(commandLine)) {
        if (before) before(sim);
        start();
    }

    void trayMessage(std::uint32_t message, double x = 0) {
        EventArgs e;
        e.message = message;
        e.x = x;
        sim.post(form(), "TrayIcon", EventType::MouseMove, e);
    }
    void dblClick(const std::string& control) { sim.post(form(), control, EventType::DblClick); }
    void enter(State state) {
        if (state == State::Hidden) click("mnuToTray");
        if (state == State::HiddenCaptionBehind) dblClick("frmMain");
    }
    bool screenShows() { return sim.toolkit.peer(w().window)->shown; }
};

using Event = std::function<void(Tray&)>;

const Event trayDoubleClick = [](Tray& t) { t.trayMessage(MouseMessage::LeftDoubleClick); };
const Event trayRightRelease = [](Tray& t) { t.trayMessage(MouseMessage::RightUp); };
const Event popupChoice = [](Tray& t) { t.click("mnuShow"); };
const Event fileHideToTray = [](Tray& t) { t.click("mnuToTray"); };
Event doubleClickOn(const char* control) {
    return [control](Tray& t) { t.dblClick(control); };
}

using A = TrayActivation;

// Activations a few milliseconds apart, as hosts report one gesture, and
// what each stands for. The double-click interval is 400 ms.
TEST(TrayActivationDecoder, TurnsHostReportsIntoMouseMessages) {
    struct Step {
        A activation;
        std::int64_t atMs;
        std::uint32_t message;
    };
    struct Case {
        const char* host;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"a lone single activation does nothing", {{A::Single, 0, MouseMessage::LeftUp}}},
        {"two singles within the interval are a double-click",
         {{A::Single, 0, MouseMessage::LeftUp}, {A::Single, 250, MouseMessage::LeftDoubleClick}}},
        {"a second single exactly at the interval's end still pairs",
         {{A::Single, 0, MouseMessage::LeftUp}, {A::Single, 400, MouseMessage::LeftDoubleClick}}},
        {"two singles further apart are two single clicks",
         {{A::Single, 0, MouseMessage::LeftUp}, {A::Single, 401, MouseMessage::LeftUp}}},
        {"XEmbed: single then double is one double-click",
         {{A::Single, 0, MouseMessage::LeftUp}, {A::Double, 200, MouseMessage::LeftDoubleClick}}},
        {"single, single, double is still one double-click",
         {{A::Single, 0, MouseMessage::LeftUp},
          {A::Single, 200, MouseMessage::LeftDoubleClick},
          {A::Double, 201, 0}}},
        {"a double alone is a double-click", {{A::Double, 0, MouseMessage::LeftDoubleClick}}},
        {"two gestures in a row are two double-clicks",
         {{A::Single, 0, MouseMessage::LeftUp},
          {A::Double, 100, MouseMessage::LeftDoubleClick},
          {A::Single, 200, MouseMessage::LeftUp},
          {A::Double, 300, MouseMessage::LeftDoubleClick}}},
        {"four quick singles are two double-clicks",
         {{A::Single, 0, MouseMessage::LeftUp},
          {A::Single, 100, MouseMessage::LeftDoubleClick},
          {A::Single, 200, MouseMessage::LeftUp},
          {A::Single, 300, MouseMessage::LeftDoubleClick}}},
        {"a late double after a pair counts again",
         {{A::Single, 0, MouseMessage::LeftUp},
          {A::Single, 100, MouseMessage::LeftDoubleClick},
          {A::Double, 600, MouseMessage::LeftDoubleClick}}},
        {"the context request is the right-button release",
         {{A::Context, 0, MouseMessage::RightUp}}},
        {"a context request breaks a pair",
         {{A::Single, 0, MouseMessage::LeftUp},
          {A::Context, 50, MouseMessage::RightUp},
          {A::Single, 100, MouseMessage::LeftUp}}},
        {"the middle button does nothing", {{A::Other, 0, 0}}},
    };
    for (const Case& c : cases) {
        TrayActivationDecoder decoder;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            EXPECT_EQ(decoder.decode(s.activation, s.atMs, 400), s.message)
                << c.host << ", step " << i;
        }
    }
}

TEST(HideAndShow, EveryTransition) {
    const struct {
        const char* name;
        State from;
        Event event;
        bool visible;
        const char* caption;
        int popups;
    } rows[] = {
        {"Shown, tray double-click", State::Shown, trayDoubleClick, false, "&Show", 0},
        {"Shown, pop-up &Hide", State::Shown, popupChoice, false, "&Show", 0},
        {"Shown, File hide to tray", State::Shown, fileHideToTray, false, "&Show", 0},
        {"Shown, double-click background", State::Shown, doubleClickOn("frmMain"), false, "&Hide",
         0},
        {"Shown, double-click Frame1", State::Shown, doubleClickOn("Frame1"), false, "&Hide", 0},
        {"Shown, double-click Frame2", State::Shown, doubleClickOn("Frame2"), false, "&Hide", 0},
        {"Shown, double-click lblTotalPhysicalShow", State::Shown,
         doubleClickOn("lblTotalPhysicalShow"), false, "&Hide", 0},
        {"Shown, double-click lblUsedPhysicalShow", State::Shown,
         doubleClickOn("lblUsedPhysicalShow"), false, "&Hide", 0},
        {"Shown, double-click lblFreePhysicalShow", State::Shown,
         doubleClickOn("lblFreePhysicalShow"), false, "&Hide", 0},
        {"Shown, double-click lblTotalPagefileShow", State::Shown,
         doubleClickOn("lblTotalPagefileShow"), false, "&Hide", 0},
        {"Shown, double-click lblUsedPagefileShow", State::Shown,
         doubleClickOn("lblUsedPagefileShow"), false, "&Hide", 0},
        {"Shown, double-click lblFreePagefileShow", State::Shown,
         doubleClickOn("lblFreePagefileShow"), false, "&Hide", 0},
        {"Shown, right release", State::Shown, trayRightRelease, true, "&Hide", 1},
        {"Hidden, tray double-click", State::Hidden, trayDoubleClick, true, "&Hide", 0},
        {"Hidden, pop-up &Show", State::Hidden, popupChoice, true, "&Hide", 0},
        {"Hidden, right release", State::Hidden, trayRightRelease, false, "&Show", 1},
        {"Hidden behind, tray double-click", State::HiddenCaptionBehind, trayDoubleClick, false,
         "&Show", 0},
        {"Hidden behind, right release", State::HiddenCaptionBehind, trayRightRelease, false,
         "&Show", 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Tray t;
        t.enter(r.from);
        r.event(t);
        EXPECT_EQ(t.w().window.visible(), r.visible);
        EXPECT_EQ(t.screenShows(), r.visible);
        EXPECT_EQ(t.w().mnuShow.caption(), r.caption);
        EXPECT_EQ(t.sim.toolkit.popups.size(), static_cast<std::size_t>(r.popups));
        if (r.popups) {
            EXPECT_EQ(t.sim.toolkit.popups.back(), "frmMain/mnuPopUp");
        }
        // Hiding never touches the tray entry.
        EXPECT_EQ(t.sim.tray.calls.size(), 1u);
    }
}

TEST(HideAndShow, HiddenCaptionBehindNeedsTwoDoubleClicksToShow) {
    Tray t;
    t.dblClick("lblFreePhysicalShow");
    trayDoubleClick(t);
    EXPECT_FALSE(t.w().window.visible());
    trayDoubleClick(t);
    EXPECT_TRUE(t.w().window.visible());
    EXPECT_TRUE(t.screenShows());
    EXPECT_EQ(t.w().mnuShow.caption(), "&Hide");
}

TEST(HideAndShow, AfterADoubleClickHideThePopUpOffersShowAndShowsAtOnce) {
    Tray t;
    t.dblClick("frmMain");
    trayRightRelease(t);
    EXPECT_EQ(t.w().mnuShow.caption(), "&Show");
    popupChoice(t);
    EXPECT_TRUE(t.w().window.visible());
}

TEST(HideAndShow, HideToTrayAlwaysEndsHidden) {
    Tray t;
    t.dblClick("frmMain");
    t.w().window.setVisible(true);  // caption still "&Hide" though it is shown again
    t.w().mnuShow.setCaption("&Show");
    fileHideToTray(t);
    EXPECT_FALSE(t.w().window.visible());
    EXPECT_EQ(t.w().mnuShow.caption(), "&Show");
    trayDoubleClick(t);
    EXPECT_TRUE(t.w().window.visible());
}

TEST(HideAndShow, DoubleClicksElsewhereDoNothing) {
    for (const char* control :
         {"picUsedPhysical", "picAvailablePagefile", "picOldPhysical", "lblTotalPhysical",
          "lblUsedPagefile", "lblFreePhysical", "lblStatus", "TrayIcon"}) {
        SCOPED_TRACE(control);
        Tray t;
        t.dblClick(control);
        EXPECT_TRUE(t.w().window.visible());
    }
}

TEST(HideAndShow, OtherMouseEventsOnTheEntryDoNothing) {
    for (const std::uint32_t message :
         {MouseMessage::Move, MouseMessage::LeftDown, MouseMessage::LeftUp, MouseMessage::RightDown,
          MouseMessage::RightDoubleClick}) {
        SCOPED_TRACE(message);
        Tray t;
        // The coordinate is not looked at: 7725 twips is where a left double
        // click would have landed at 96 DPI.
        t.trayMessage(message, 7725);
        EXPECT_TRUE(t.w().window.visible());
        EXPECT_EQ(t.w().mnuShow.caption(), "&Hide");
        EXPECT_TRUE(t.sim.toolkit.popups.empty());
    }
}

TEST(HideAndShow, ToggleWithAnUnexpectedCaptionDoesNothing) {
    Tray t;
    t.w().mnuShow.setCaption("Hide");
    popupChoice(t);
    trayDoubleClick(t);
    EXPECT_TRUE(t.w().window.visible());
    EXPECT_EQ(t.w().mnuShow.caption(), "Hide");
}

TEST(HideAndShow, TheToggleClosesTheAboutDialogAndEnablesTheMainWindow) {
    const struct {
        const char* name;
        Event event;
        bool visible;
    } rows[] = {
        {"tray double-click", trayDoubleClick, false},
        {"pop-up choice", popupChoice, false},
        {"pop-up after a double-click hide",
         [](Tray& t) {
             t.dblClick("frmMain");
             trayRightRelease(t);
             popupChoice(t);
         },
         true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Tray t;
        t.click("mnuAbout");
        ASSERT_TRUE(t.program->about().loaded());
        ASSERT_FALSE(t.w().window.enabled());
        r.event(t);
        EXPECT_FALSE(t.program->about().loaded());
        EXPECT_TRUE(t.w().window.enabled());
        EXPECT_EQ(t.w().window.visible(), r.visible);
        ASSERT_FALSE(t.sim.toolkit.destroyed.empty());
        EXPECT_EQ(t.sim.toolkit.destroyed.back(), "frmAbout");
    }
}

TEST(HideAndShow, DoubleClickHideLeavesTheAboutDialogOpen) {
    Tray t;
    t.click("mnuAbout");
    t.dblClick("Frame2");
    EXPECT_FALSE(t.w().window.visible());
    EXPECT_TRUE(t.program->about().loaded());
}

TEST(HideAndShow, TrayPathsWorkInAQuitStart) {
    Tray t("/QUIT");
    trayDoubleClick(t);
    EXPECT_FALSE(t.w().window.visible());
    trayRightRelease(t);
    EXPECT_EQ(t.w().mnuShow.caption(), "&Show");
    EXPECT_EQ(t.sim.toolkit.popups.size(), 1u);
}

// Without a tray entry to come back from (no tray host at the start, an add
// the shell refused, a host that went away) every hide minimises the window
// instead, and the user's restore from the taskbar counts as showing it.
TEST(NoTrayEntry, HidingMinimisesAndTheUsersRestoreShows) {
    const struct {
        const char* name;
        std::function<void(sim::SimTray&)> before, after;
    } conditions[] = {
        {"no host at the start", [](sim::SimTray& t) { t.hostPresent = false; }, nullptr},
        {"add refused", [](sim::SimTray& t) { t.result = 0; }, nullptr},
        {"host gone since", nullptr, [](sim::SimTray& t) { t.hostPresent = false; }},
    };
    const struct {
        const char* name;
        const char* commandLine;
        Event hide;
        const char* caption;
    } paths[] = {
        {"/AUTO", "/AUTO", nullptr, "&Show"},
        {"File hide to tray", "", fileHideToTray, "&Show"},
        {"pop-up &Hide", "", popupChoice, "&Show"},
        {"double-click background", "", doubleClickOn("frmMain"), "&Hide"},
        {"double-click Frame2", "", doubleClickOn("Frame2"), "&Hide"},
    };
    for (const auto& c : conditions) {
        for (const auto& p : paths) {
            // A window hidden while the host was there stays hidden when it goes.
            if (c.after && !p.hide) continue;
            SCOPED_TRACE(std::string(c.name) + ", " + p.name);
            Tray t(p.commandLine, [&](sim::SimPlatform& s) {
                if (c.before) c.before(s.tray);
            });
            if (c.after) c.after(t.sim.tray);
            if (p.hide) p.hide(t);
            const sim::SimPeer& screen = *t.sim.toolkit.peer(t.w().window);
            EXPECT_TRUE(t.w().window.visible());
            EXPECT_TRUE(screen.shown) << "on the taskbar, not hidden";
            EXPECT_TRUE(screen.minimized);
            EXPECT_EQ(t.w().mnuShow.caption(), p.caption);

            ASSERT_TRUE(t.sim.toolkit.restoreByUser(t.form(), t.sim.dispatcher));
            t.sim.settle();
            EXPECT_TRUE(t.w().window.visible());
            EXPECT_EQ(t.w().window.windowState(), WindowState::Normal);
            EXPECT_EQ(t.w().mnuShow.caption(), "&Hide");
        }
    }
}

// A host that appears takes the entry in: the tray double-click brings the
// minimised window back, and from then on hiding hides.
TEST(NoTrayEntry, OnceAHostHoldsTheEntryHidingHidesAgain) {
    Tray t("", [](sim::SimPlatform& s) { s.tray.hostPresent = false; });
    fileHideToTray(t);
    ASSERT_EQ(t.w().window.windowState(), WindowState::Minimized);
    t.sim.tray.hostPresent = true;
    trayDoubleClick(t);
    const sim::SimPeer& screen = *t.sim.toolkit.peer(t.w().window);
    EXPECT_TRUE(screen.shown);
    EXPECT_FALSE(screen.minimized);
    EXPECT_EQ(t.w().mnuShow.caption(), "&Hide");
    fileHideToTray(t);
    EXPECT_FALSE(t.w().window.visible());
    EXPECT_FALSE(screen.shown);
    EXPECT_FALSE(screen.minimized);
    EXPECT_EQ(t.sim.tray.calls.size(), 1u) << "the entry was added once";
}

TEST(HideAndShow, RefusedPropertiesAreSkipped) {
    Tray t;
    t.sim.toolkit.peer(t.w().mnuShow)->refuse = true;
    trayDoubleClick(t);  // the caption cannot change, the window still hides
    EXPECT_FALSE(t.w().window.visible());
    EXPECT_EQ(t.w().mnuShow.caption(), "&Hide");
    t.sim.toolkit.peer(t.w().mnuShow)->refuse = false;
    t.sim.toolkit.peer(t.w().window)->refuse = true;
    trayRightRelease(t);  // the menu still opens
    EXPECT_EQ(t.sim.toolkit.popups.size(), 1u);
    EXPECT_EQ(t.w().mnuShow.caption(), "&Show");
}

// A host that goes away while the window is hidden to it: the window comes
// back minimised, reachable from the taskbar; a shown window, or a hidden one
// whose entry another host still shows, is left as it is.
TEST(NoTrayEntry, AHostThatGoesAwayBringsTheHiddenWindowBackMinimised) {
    const struct {
        const char* name;
        Event before;
        bool hostStays;
        bool shown, minimized;
    } cases[] = {
        {"hidden by Ctrl+T", fileHideToTray, false, true, true},
        {"hidden by a double-click", doubleClickOn("Frame1"), false, true, true},
        {"shown", nullptr, false, true, false},
        {"hidden, the entry still shown", fileHideToTray, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tray t;
        if (c.before) c.before(t);
        t.sim.tray.hostPresent = c.hostStays;
        t.sim.post(t.form(), "TrayIcon", EventType::TrayLost);
        const sim::SimPeer& screen = *t.sim.toolkit.peer(t.w().window);
        EXPECT_EQ(screen.shown, c.shown);
        EXPECT_EQ(screen.minimized, c.minimized);
        EXPECT_EQ(t.sim.tray.calls.size(), 1u) << "the entry is not added again";
        if (!c.minimized) continue;
        ASSERT_TRUE(t.sim.toolkit.restoreByUser(t.form(), t.sim.dispatcher));
        t.sim.settle();
        EXPECT_EQ(t.w().mnuShow.caption(), "&Hide");
    }
}

}  // namespace
}  // namespace vk
