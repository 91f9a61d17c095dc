#include <gtest/gtest.h>

#include <string>

#include "SimApp.h"
#include "freeing/Countdown.h"
#include "freeing/Markers.h"

namespace vk {
namespace {

struct MarkersTest : ::testing::Test {
    void SetUp() override {
        app.start();
        app.advance(100);  // the refresh has sized the free bars
    }
    FrmMain& w() { return app.w(); }
    bool anyMarkerVisible() { return w().picOldPhysical.visible() || w().picOldPagefile.visible(); }

    test::SimApp app;
};

TEST_F(MarkersTest, PlaceOldMarkersHidesAndCoversTheFreeBarOfTheMoment) {
    struct Case {
        double freeWidth;   // physical free bar, as the screen shows it
        double markerLeft;  // 3615 - width
    };
    const Case cases[] = {{1410, 2205}, {0, 3615}, {3615, 0}, {4500, -885}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.freeWidth);
        w().picOldPhysical.setVisible(true);
        w().picOldPagefile.setVisible(true);
        w().picAvailablePhysical.setWidth(c.freeWidth);
        w().picAvailablePagefile.setWidth(c.freeWidth / 2);
        PlaceOldMarkers(w());
        EXPECT_FALSE(w().picOldPhysical.visible());
        EXPECT_FALSE(w().picOldPagefile.visible());
        EXPECT_EQ(w().picOldPhysical.width(), c.freeWidth);
        EXPECT_EQ(w().picOldPhysical.left(), c.markerLeft);
        EXPECT_EQ(w().picOldPagefile.width(), w().picAvailablePagefile.width());
        EXPECT_EQ(w().picOldPagefile.left(), 3615 - w().picOldPagefile.width());
    }
}

TEST_F(MarkersTest, ARefusedStepIsSkippedAndTheNextOneRuns) {
    w().picAvailablePhysical.setWidth(1500);
    w().picOldPhysical.setWidth(900);
    app.sim.toolkit.peer(w().picOldPhysical)->refuse = true;  // physical marker takes nothing
    w().picAvailablePagefile.setWidth(600);
    PlaceOldMarkers(w());
    EXPECT_EQ(w().picOldPhysical.width(), 900);
    EXPECT_EQ(w().picOldPagefile.width(), 600);
    EXPECT_EQ(w().picOldPagefile.left(), 3015);
}

TEST_F(MarkersTest, EachMarkerIsShownByItsOwnWidthTestAfterARunAndHidden5sLater) {
    struct Case {
        int physFreeAfter, pageFreeAfter;  // MB; before the run 512 of 1024, 1024 of 2048
        bool physShown, pageShown;
    };
    const Case cases[] = {
        {800, 1500, true, true},   // both grew
        {512, 1024, true, true},   // unchanged: equal widths show
        {800, 700, true, false},   // pagefile shrank during the run
        {300, 1500, false, true},  // physical shrank during the run
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.physFreeAfter) + "/" + std::to_string(c.pageFreeAfter));
        test::SimApp fresh;
        fresh.start();
        fresh.advance(95);
        FrmMain& m = fresh.w();
        const double physBefore = m.picAvailablePhysical.width();
        const double pageBefore = m.picAvailablePagefile.width();
        fresh.sim.allocator.whileAllocating = [&] {
            fresh.sim.memory.setMB(1024, c.physFreeAfter, 2048, c.pageFreeAfter);
        };
        fresh.click("mnuDefragMemory1");  // the run's tick comes at 105
        EXPECT_FALSE(m.picOldPhysical.visible());
        fresh.advance(10);
        ASSERT_EQ(fresh.sim.allocator.allocations, 1);
        fresh.advance(10);  // at least one refresh since the run
        EXPECT_EQ(m.picOldPhysical.visible(), c.physShown);
        EXPECT_EQ(m.picOldPagefile.visible(), c.pageShown);
        EXPECT_FALSE(m.ShowPicOld);
        // The markers keep the snapshot, at the right end of the used bar.
        EXPECT_EQ(m.picOldPhysical.width(), physBefore);
        EXPECT_EQ(m.picOldPagefile.width(), pageBefore);
        EXPECT_EQ(m.picOldPhysical.left(), m.picUsedPhysical.width() - physBefore);
        EXPECT_EQ(m.picOldPagefile.left(), m.picUsedPagefile.width() - pageBefore);

        fresh.advance(5105 - 1 - fresh.sim.now());
        EXPECT_EQ(m.picOldPhysical.visible(), c.physShown);
        EXPECT_EQ(m.picOldPagefile.visible(), c.pageShown);
        fresh.advance(1);  // 5 s after the run
        EXPECT_FALSE(m.picOldPhysical.visible());
        EXPECT_FALSE(m.picOldPagefile.visible());
        EXPECT_FALSE(m.tmrLoosePicOld.enabled());
        fresh.advance(10'000);
        EXPECT_FALSE(m.picOldPhysical.visible() || m.picOldPagefile.visible());
    }
}

// A run within 5 s of the last one, long enough that the last run's hide
// tick falls due while it runs: its markers still show, and go 5 s after it.
TEST_F(MarkersTest, ARunSoonAfterAnotherHasItsOwnFiveSeconds) {
    app.click("mnuDefragMemory1");
    app.advance(30);
    ASSERT_TRUE(w().picOldPhysical.visible());
    app.advance(4000);
    std::int64_t secondRunEnd = 0;
    app.sim.allocator.whileAllocating = [&] {
        app.sim.advance(1500);
        secondRunEnd = app.sim.now();
    };
    app.click("mnuDefragMemory1");
    app.advance(30);
    ASSERT_NE(secondRunEnd, 0);
    EXPECT_TRUE(w().picOldPhysical.visible()) << "the second run showed no marker";
    app.advance(secondRunEnd + 5000 - 1 - app.sim.now());
    EXPECT_TRUE(w().picOldPhysical.visible()) << "hidden before 5 s had passed since the run";
    app.advance(1);
    EXPECT_FALSE(anyMarkerVisible()) << "still shown 5 s after the run";
}

TEST_F(MarkersTest, NeverVisibleBeforeTheFirstRun) {
    app.sim.memory.script = [](int query, MemoryStatus& s) {
        s.availPhys = (100 + static_cast<std::uint64_t>(query % 700)) << 20;
    };
    for (int i = 0; i < 1000; ++i) {
        app.advance(10);
        ASSERT_FALSE(anyMarkerVisible()) << "at " << app.sim.now();
    }
}

TEST_F(MarkersTest, AFailedRunShowsNoMarker) {
    app.sim.allocator.fail = true;
    app.click("mnuDefragMemory1");
    for (int i = 0; i < 700; ++i) {
        app.advance(10);
        ASSERT_FALSE(anyMarkerVisible()) << "at " << app.sim.now();
    }
    EXPECT_FALSE(w().tmrLoosePicOld.enabled());
}

TEST_F(MarkersTest, TheNextStarterHidesShownMarkersAtOnce) {
    app.click("mnuDefragMemory1");
    app.advance(30);
    ASSERT_TRUE(w().picOldPhysical.visible());
    app.click("mnuDefragMemory1");
    EXPECT_FALSE(anyMarkerVisible());
    app.advance(30);
    EXPECT_TRUE(w().picOldPhysical.visible());
}

struct CountdownCase {
    const char* tagBefore;
    const char* tagAfter;
    const char* status;  // after the tick; "" = unchanged
    bool unloads;
};

TEST(Countdown, OneTickPerTag) {
    const CountdownCase cases[] = {
        {"4", "3", "Done, quitting in 2...", false},
        {"2", "1", "Done, quitting in 0...", false},
        {"1", "0", "Done, quitting in -1...", true},
        // A Tag that is no number: each step fails, and a failed test of the
        // if counts as passed, so the window unloads.
        {"x", "x", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tagBefore);
        test::SimApp app;
        app.start();
        FrmMain& w = app.w();
        const std::string before = w.lblStatus.caption();
        w.tmrQuit.setTag(c.tagBefore);
        tmrQuit_Timer(w);
        EXPECT_EQ(w.tmrQuit.tag(), c.tagAfter);
        EXPECT_EQ(w.lblStatus.caption(), *c.status ? std::string(c.status) : before);
        EXPECT_EQ(w.unloaded(), c.unloads);
    }
}

TEST(Countdown, ArmedCountdownEndsTheProgramOnItsFourthTick) {
    test::SimApp app;
    app.start();
    FrmMain& w = app.w();
    w.tmrQuit.setEnabled(true);
    const std::string texts[] = {"Done, quitting in 2...", "Done, quitting in 1...",
                                 "Done, quitting in 0..."};
    for (const auto& text : texts) {
        app.advance(1000);
        EXPECT_EQ(w.lblStatus.caption(), text);
        EXPECT_FALSE(w.unloaded());
    }
    app.advance(999);
    EXPECT_FALSE(w.unloaded());
    app.advance(1);
    EXPECT_TRUE(w.unloaded());
    EXPECT_EQ(app.sim.toolkit.quits, 1);
    EXPECT_TRUE(app.sim.dispatcher.ended());
}

}  // namespace
}  // namespace vk
