// While no window shows, the refresh wakes nobody; what it would have done
// is done right before anything else runs, so nothing can tell it slept.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SimApp.h"
#include "platform/NotifyIcon.h"

namespace vk {
namespace {

using test::SimApp;

// The figures as time goes on: plenty free until 1500 ms, then nearly full
// (below the watch's 5 percent), and plenty again once a block was taken.
struct Machine {
    explicit Machine(SimApp& app) {
        app.sim.memory.script = [this, &app](int, MemoryStatus& s) {
            constexpr std::uint64_t MB = 1024 * 1024;
            const std::uint64_t free = freed ? 600 : app.sim.now() < 1500 ? 500 : 30;
            s = {1000 * MB, free * MB, 3000 * MB, (free + 1000) * MB};
        };
        app.sim.allocator.whileAllocating = [this] { freed = true; };
    }
    bool freed = false;
};

// Everything the refresh and the markers leave on the window.
std::vector<std::string> display(SimApp& app) {
    std::vector<std::string> shown;
    for (const char* label :
         {"lblTotalPhysicalShow", "lblUsedPhysicalShow", "lblFreePhysicalShow",
          "lblTotalPagefileShow", "lblUsedPagefileShow", "lblFreePagefileShow"}) {
        shown.push_back(app[label].caption());
    }
    for (const char* bar :
         {"picAvailablePhysical", "picOldPhysical", "picAvailablePagefile", "picOldPagefile"}) {
        const Control& c = app[bar];
        shown.push_back(std::string(bar) + " " + std::to_string(c.left()) + "+" +
                        std::to_string(c.width()) + (c.visible() ? " shown" : " hidden"));
    }
    return shown;
}

void trayMessage(SimApp& app, std::uint32_t message) {
    EventArgs args;
    args.message = message;
    app.sim.post(app.form(), "TrayIcon", EventType::MouseMove, args);
}

std::uint64_t refreshTicks(SimApp& app) {
    return app.sim.dispatcher.deliveredTicks(app["tmrUpdateMemoryInformation"]);
}

TEST(HiddenRefresh, WhileHiddenTheNextWakeUpIsTheWatchsOrNone) {
    const struct {
        const char* name;
        const char* commandLine;
        bool trayHost;
        std::optional<std::int64_t> nextWake;  // after 10.5 s
    } cases[] = {
        {"Ctrl+T, watch off", "", true, std::nullopt},
        {"/AUTO, watch on", "/AUTO", true, 11000},
        {"/AUTO without a tray: minimised", "/AUTO", false, 11000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimApp app(c.commandLine);
        app.sim.tray.hostPresent = c.trayHost;
        app.start();
        if (std::string(c.commandLine).empty()) app.click("mnuToTray");
        const std::uint64_t ticks = refreshTicks(app);
        app.advance(10500);
        EXPECT_EQ(app.sim.dispatcher.nextWakeMs(), c.nextWake);
        EXPECT_TRUE(app["tmrUpdateMemoryInformation"].enabled()) << "still enabled to handlers";
        // Watch ticks each bring one refresh along, and nothing else does.
        EXPECT_EQ(refreshTicks(app) - ticks, c.nextWake ? 10u : 0u);
    }
    SimApp shown;
    shown.start();
    shown.advance(10500);
    EXPECT_EQ(shown.sim.dispatcher.nextWakeMs(), 10510) << "shown, the refresh runs on";
}

// Each kind of event sees the figures of its own moment, as a refresh that
// never slept would have left them.
TEST(HiddenRefresh, AHeldRefreshRunsBeforeTheNextEventOfAnyKind) {
    const struct {
        const char* name;
        const char* control;
        EventType type;
        std::function<void(SimApp&)> cause;
    } events[] = {
        {"watch tick", "tmrCheckIfMemoryFull", EventType::Timer,
         [](SimApp& a) { a.advance(1000); }},
        {"tray double-click", "TrayIcon", EventType::MouseMove,
         [](SimApp& a) { trayMessage(a, MouseMessage::LeftDoubleClick); }},
        {"tray right-click", "TrayIcon", EventType::MouseMove,
         [](SimApp& a) { trayMessage(a, MouseMessage::RightUp); }},
        {"shortcut Ctrl+U", "mnuDefragMemory3", EventType::Click,
         [](SimApp& a) {
             ASSERT_TRUE(a.sim.toolkit.pressShortcut(a.form(), "Ctrl+U", a.sim.dispatcher));
             a.sim.settle();
         }},
        {"pop-up Show", "mnuShow", EventType::Click, [](SimApp& a) { a.click("mnuShow"); }},
        {"end request", "frmMain", EventType::CloseRequest,
         [](SimApp& a) { a.sim.post(a.form(), "frmMain", EventType::CloseRequest); }},
    };
    for (const auto& e : events) {
        SCOPED_TRACE(e.name);
        SimApp app("/AUTO");
        app.start();
        app.advance(1000);  // a watch tick brought the figures up to date
        app.advance(500);
        app.sim.memory.setMB(1000, 123, 3000, 1123);
        std::string seen;
        const Handler original = *app.form().handler(app[e.control], e.type);
        app.form().on(e.control, e.type, Handler([&](const EventArgs& args) {
                          seen = app["lblFreePhysicalShow"].caption();
                          original(args);
                      }));
        e.cause(app);
        EXPECT_EQ(seen, "123 MB");
    }
}

// The watch copies the free bars into the markers, and the refresh reveals
// them after the run: hidden, both happen as they would with the window shown.
TEST(HiddenRefresh, MarkersOfAWatchRunWhileHiddenAreThoseOfARefreshThatNeverSleeps) {
    SimApp hidden("/AUTO");
    Machine hiddenMachine(hidden);
    hidden.start();
    SimApp shown;
    Machine shownMachine(shown);
    shown.start();
    shown.click("mnuDefragMemory3");  // the watch, with the window shown

    hidden.advance(2500);  // the watch ran a block at 2000
    shown.advance(2500);
    ASSERT_TRUE(hiddenMachine.freed);
    hidden.click("mnuShow");  // the user brings the window back
    ASSERT_TRUE(hidden.w().window.visible());
    EXPECT_EQ(display(hidden), display(shown));
    EXPECT_TRUE(hidden["picOldPhysical"].visible()) << "the run's markers show";

    hidden.advance(5000);  // the markers' timeout
    shown.advance(5000);
    EXPECT_EQ(display(hidden), display(shown));
}

// A window the user restores paints current figures on its first frame,
// however long it lay minimised.
TEST(HiddenRefresh, TheFirstFrameAfterARestoreShowsCurrentFigures) {
    SimApp app;
    app.sim.tray.hostPresent = false;
    app.start();
    app.click("mnuToTray");  // minimised: no tray entry to come back from
    app.advance(60000);
    app.sim.memory.setMB(1000, 321, 3000, 1321);
    ASSERT_TRUE(app.sim.toolkit.restoreByUser(app.form(), app.sim.dispatcher));
    app.sim.settle();
    EXPECT_EQ(app.sim.toolkit.peer(app["lblFreePhysicalShow"])->text(), "321 MB");
    EXPECT_EQ(app.sim.dispatcher.nextWakeMs(), app.sim.now() + 10) << "running again";
}

}  // namespace
}  // namespace vk
