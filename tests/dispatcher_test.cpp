#include "platform/Dispatcher.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/LoopDriver.h"
#include "platform/sim/SimPlatform.h"

namespace vk {
namespace {

ControlDef timerDef(const char* name, int interval, bool running) {
    ControlDef d = makeControl(ControlKind::Timer, name, "", "", 0, 0, 0, 0);
    d.intervalMs = interval;
    d.enabled = running;
    return d;
}

WindowDef windowWithTimers() {
    WindowDef w;
    w.name = "frmTest";
    w.controls.push_back(timerDef("tmrFast", 1, true));
    w.controls.push_back(timerDef("tmrSecond", 1000, false));
    w.controls.push_back(makeControl(ControlKind::Button, "cmdGo", "", "", 0, 0, 0, 0));
    return w;
}

struct DispatcherTest : ::testing::Test {
    DispatcherTest() : form(windowWithTimers()) {}
    void SetUp() override {
        sim.toolkit.createWindow(form);
        form.on("tmrFast", EventType::Timer, [this] { log.push_back("fast@" + at()); });
        form.on("tmrSecond", EventType::Timer, [this] { log.push_back("second@" + at()); });
        form.on("cmdGo", EventType::Click, [this] { log.push_back("click@" + at()); });
        sim.dispatcher.attach(form);
    }
    std::string at() const { return std::to_string(sim.now()); }

    sim::SimPlatform sim;
    Form form;
    std::vector<std::string> log;
};

TEST_F(DispatcherTest, OneMillisecondTimerRunsAtTheTenMillisecondFloor) {
    sim.advance(50);
    EXPECT_EQ(log,
              (std::vector<std::string>{"fast@10", "fast@20", "fast@30", "fast@40", "fast@50"}));
}

TEST_F(DispatcherTest, ArmingStartsAFreshIntervalAndDisarmingStops) {
    form["tmrFast"].setEnabled(false);
    sim.advance(5);
    form["tmrSecond"].setEnabled(true);
    sim.advance(1500);
    EXPECT_EQ(log, (std::vector<std::string>{"second@1005"}));
    form["tmrSecond"].setEnabled(true);  // already running: keeps its pace
    sim.advance(1000);
    EXPECT_EQ(log.back(), "second@2005");
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(DispatcherTest, TickDueWhileAHandlerRunsWaitsAndCoalesces) {
    form["tmrFast"].setEnabled(false);
    form.on("cmdGo", EventType::Click, [this] {
        log.push_back("click@" + at());
        form["tmrFast"].setEnabled(true);
        sim.advance(35);  // the handler takes 35 ms: three ticks come due meanwhile
        log.push_back("click-end@" + at());
    });
    sim.click(form, "cmdGo");
    sim.advance(6);
    EXPECT_EQ(log, (std::vector<std::string>{"click@0", "click-end@35", "fast@35", "fast@40"}));
}

TEST_F(DispatcherTest, ClicksDuringAHandlerEachRunAfterwardsInOrder) {
    form["tmrFast"].setEnabled(false);
    int clicks = 0;
    form.on("cmdGo", EventType::Click, [&] {
        if (++clicks == 1) {
            sim.click(form, "cmdGo");
            sim.click(form, "cmdGo");
            EXPECT_EQ(clicks, 1);  // nothing nests
        }
    });
    sim.click(form, "cmdGo");
    EXPECT_EQ(clicks, 3);
}

TEST_F(DispatcherTest, HandlerThatStopsItsOwnTimerGetsNoFurtherTick) {
    form.on("tmrFast", EventType::Timer, [this] {
        log.push_back("fast@" + at());
        form["tmrFast"].setEnabled(false);
    });
    sim.advance(100);
    EXPECT_EQ(log, (std::vector<std::string>{"fast@10"}));
}

TEST_F(DispatcherTest, DisarmingDropsAWaitingTick) {
    form.on("cmdGo", EventType::Click, [this] {
        sim.advance(15);                    // a fast tick comes due and waits
        form["tmrFast"].setEnabled(false);  // ... and is taken back
    });
    sim.click(form, "cmdGo");
    sim.advance(100);
    EXPECT_TRUE(log.empty());
}

// Off and on again while its tick waits: the stale tick is gone, and the
// timer ticks after a fresh interval (it does not go dead either).
TEST_F(DispatcherTest, OffAndOnWhileATickWaitsStartsAFreshInterval) {
    form["tmrFast"].setEnabled(false);
    form["tmrSecond"].setEnabled(true);
    form.on("cmdGo", EventType::Click, [this] {
        sim.advance(1000);  // the tick comes due and waits
        form["tmrSecond"].setEnabled(false);
        sim.advance(300);
        form["tmrSecond"].setEnabled(true);  // at 1300: the next tick is due at 2300
    });
    sim.click(form, "cmdGo");
    sim.advance(999);
    EXPECT_TRUE(log.empty());
    sim.advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"second@2300"}));
}

TEST_F(DispatcherTest, EndStopsEverything) {
    sim.advance(10);
    sim.dispatcher.post(form, "cmdGo", EventType::Click);
    sim.dispatcher.end();
    sim.advance(100);
    form["tmrSecond"].setEnabled(true);
    sim.advance(2000);
    EXPECT_EQ(log, (std::vector<std::string>{"fast@10"}));
}

TEST_F(DispatcherTest, FailingHandlerDoesNotStopDelivery) {
    form.on("cmdGo", EventType::Click, [] { throw std::runtime_error("no trap"); });
    sim.click(form, "cmdGo");
    sim.advance(10);
    EXPECT_EQ(log, (std::vector<std::string>{"fast@10"}));
}

TEST_F(DispatcherTest, DetachDropsQueuedEventsAndTimers) {
    sim.dispatcher.post(form, "cmdGo", EventType::Click);
    sim.dispatcher.detach(form);
    sim.advance(100);
    EXPECT_TRUE(log.empty());
}

// A window that goes without being detached takes its timers and queued
// events with it; a window unloaded from its own handler lives until that
// handler has returned.
TEST_F(DispatcherTest, FormsLeaveTheDispatcherByThemselves) {
    auto other = std::make_unique<Form>(windowWithTimers());
    int ticks = 0;
    other->on("tmrFast", EventType::Timer, [&] { ++ticks; });
    sim.dispatcher.attach(*other);
    sim.dispatcher.post(*other, "cmdGo", EventType::Click);
    other.reset();
    form["tmrFast"].setEnabled(false);
    sim.advance(100);
    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(sim.dispatcher.nextWakeMs().has_value());

    auto closing = std::make_unique<Form>(windowWithTimers());
    Form* seen = closing.get();
    bool returnedThroughIt = false;
    closing->on("cmdGo", EventType::Click, [&] {
        sim.dispatcher.retire(std::move(closing));
        returnedThroughIt = (*seen)["cmdGo"].name() == "cmdGo";  // still there
    });
    sim.dispatcher.attach(*seen);
    sim.click(*seen, "cmdGo");
    EXPECT_TRUE(returnedThroughIt);
    EXPECT_EQ(closing, nullptr);
}

// The backend's single-shot wake-up, as the loop driver arms it.
struct RecordingWakeTimer : WakeTimer {
    void start(std::int64_t delayMs) override { starts.push_back(delayMs); }
    void stop() override { ++stops; }
    std::vector<std::int64_t> starts;
    int stops = 0;
};

// A loop driver on a virtual clock, with the wake-up it arms recorded.
struct LoopDriverTest : ::testing::Test {
    sim::SimClock clock;
    Dispatcher dispatcher{clock};
    RecordingWakeTimer wake;
    LoopDriver loop{dispatcher, clock, wake};
};

// The loop sleeps until the next due time: a delay the wrong way round would
// make it spin, and a posted event must not arm a wake-up that finds nothing.
TEST_F(LoopDriverTest, ArmsOneWakeUpForTheNextDueTime) {
    WindowDef def = windowWithTimers();
    def.controls[0].enabled = false;  // tmrFast
    def.controls[1].enabled = true;   // tmrSecond, 1000 ms
    Form form(def);
    int clicks = 0, ticks = 0;
    form.on("cmdGo", EventType::Click, [&] { ++clicks; });
    form.on("tmrSecond", EventType::Timer, [&] { ++ticks; });
    dispatcher.attach(form);  // at t = 0
    EXPECT_EQ(wake.starts, (std::vector<std::int64_t>{1000}));

    clock.set(400);
    loop.post(form, "cmdGo", EventType::Click);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(wake.starts, (std::vector<std::int64_t>{1000})) << "still armed for 1000";

    clock.set(1000);
    loop.onWake();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(wake.starts, (std::vector<std::int64_t>{1000, 1000}));

    form["tmrSecond"].setEnabled(false);
    loop.pump();
    EXPECT_EQ(wake.stops, 1) << "nothing left to wait for";
}

// A window the user restores paints before its Restore is delivered from the
// loop: posting that event for later runs the held redraw at once.
TEST_F(LoopDriverTest, AnEventPostedForLaterRunsTheHeldRedrawAtOnce) {
    WindowDef def = windowWithTimers();
    def.controls[0].redrawsOnly = true;  // tmrFast
    Form form(def);
    int redraws = 0, restores = 0;
    form.on("tmrFast", EventType::Timer, [&] { ++redraws; });
    form.on("frmTest", EventType::Restore, [&] { ++restores; });
    form.window().setVisible(false);
    dispatcher.attach(form);
    EXPECT_TRUE(wake.starts.empty()) << "hidden, nothing wakes the loop";

    clock.set(60000);
    form.window().setVisible(true);  // on its way back
    loop.postLater(form, "frmTest", EventType::Restore);
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(restores, 0);
    loop.onWake();
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(redraws, 1) << "not due again yet";
}

}  // namespace
}  // namespace vk
