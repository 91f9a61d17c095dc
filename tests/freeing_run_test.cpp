#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimApp.h"
#include "freeing/FreeingRun.h"
#include "platform/Errors.h"

namespace vk {
namespace {

// Records every text the status line is given, with the time it was given.
struct CaptionLog : ControlPeer {
    explicit CaptionLog(const sim::SimClock& c) : clock(c) {}
    void setCaption(const std::string& text) override {
        texts.push_back(text + "@" + std::to_string(clock.nowMs()));
    }
    const sim::SimClock& clock;
    std::vector<std::string> texts;
};

using Texts = std::vector<std::string>;

struct FreeingRunTest : ::testing::Test {
    void SetUp() override {
        app.start();
        app.w().lblStatus.attachPeer(&status);
    }
    FrmMain& w() { return app.w(); }

    test::SimApp app;
    CaptionLog status{app.sim.clock};
};

struct SequenceCase {
    const char* menu;
    bool allocationFails;
    Texts expected;      // every status text over the first 6 seconds
    int boxes;           // error boxes shown
    bool quits;          // the window unloads 4 s after the run
    bool menusDisabled;  // File and Help after the run
};

TEST_F(FreeingRunTest, StatusSequencesOfEachModeAndOutcome) {
    const SequenceCase cases[] = {
        {"mnuDefragMemory1", false, {"Freeing up memory...@0", "Ready@10"}, 0, false, false},
        {"mnuDefragMemory2",
         false,
         {"Freeing up memory...@0", "Done, quitting in 3...@10", "Done, quitting in 2...@1010",
          "Done, quitting in 1...@2010", "Done, quitting in 0...@3010",
          // The last tick writes its text and unloads in the same breath.
          "Done, quitting in -1...@4010"},
         0,
         true,
         true},
        {"mnuDefragMemory1", true, {"Freeing up memory...@0", "Ready@10"}, 1, false, false},
        {"mnuDefragMemory2", true, {"Freeing up memory...@0", "Ready@10"}, 1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.menu) + (c.allocationFails ? " failing" : ""));
        test::SimApp fresh;
        fresh.start();
        CaptionLog log(fresh.sim.clock);
        FrmMain& m = fresh.w();
        m.lblStatus.attachPeer(&log);
        fresh.sim.allocator.fail = c.allocationFails;

        fresh.click(c.menu);
        EXPECT_TRUE(m.mnuFile.enabled());  // the starter changes no menu
        fresh.advance(4009);
        EXPECT_FALSE(m.unloaded());
        fresh.advance(2000);

        EXPECT_EQ(log.texts, c.expected);
        EXPECT_EQ(fresh.sim.boxes.shown.size(), static_cast<std::size_t>(c.boxes));
        EXPECT_EQ(m.unloaded(), c.quits);
        EXPECT_EQ(fresh.sim.toolkit.quits, c.quits ? 1 : 0);
        EXPECT_EQ(m.mnuFile.enabled(), !c.menusDisabled);
        EXPECT_EQ(m.mnuHelp.enabled(), !c.menusDisabled);
        EXPECT_EQ(fresh.sim.allocator.allocations, 1);
        EXPECT_EQ(fresh.sim.allocator.lastSize, 160'000'000u);
        EXPECT_EQ(fresh.sim.allocator.liveBlocks, 0);
        EXPECT_FALSE(m.tmrDefragMemory.enabled());
        if (c.allocationFails) {
            EXPECT_FALSE(m.tmrQuit.enabled());
            EXPECT_EQ(m.tmrQuit.tag(), "4");
            EXPECT_FALSE(m.ShowPicOld);
            EXPECT_FALSE(m.tmrLoosePicOld.enabled());
            EXPECT_FALSE(m.picOldPhysical.visible());
            EXPECT_FALSE(m.picOldPagefile.visible());
        }
        m.lblStatus.attachPeer(nullptr);
    }
}

TEST_F(FreeingRunTest, TheErrorBoxIsTheStopBoxAndComesBeforeReady) {
    app.sim.allocator.fail = true;
    std::string statusWhileOpen;
    app.sim.boxes.whileOpen = [&](const sim::SimBoxes::Box&) {
        statusWhileOpen = w().lblStatus.caption();
    };
    app.click("mnuDefragMemory2");
    app.advance(100);
    ASSERT_EQ(app.sim.boxes.shown.size(), 1u);
    const auto& box = app.sim.boxes.shown[0];
    EXPECT_EQ(box.text, "Error defragmenting the memory!");
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.icon, BoxIcon::Critical);
    EXPECT_EQ(statusWhileOpen, "Freeing up memory...");
    EXPECT_EQ(w().lblStatus.caption(), "Ready");
}

TEST_F(FreeingRunTest, TheRunDisarmsItsTimerFirstAndHoldsTheBlockOnlyDuringTheTick) {
    bool timerArmedWhileAllocating = true;
    std::string statusWhileAllocating;
    app.sim.allocator.whileAllocating = [&] {
        timerArmedWhileAllocating = w().tmrDefragMemory.enabled();
        statusWhileAllocating = w().lblStatus.caption();
    };
    app.click("mnuDefragMemory1");
    EXPECT_TRUE(w().tmrDefragMemory.enabled());
    EXPECT_EQ(w().tmrDefragMemory.tag(), "1");
    EXPECT_EQ(app.sim.allocator.allocations, 0);  // the starter never allocates
    app.advance(10);
    EXPECT_EQ(app.sim.allocator.allocations, 1);
    EXPECT_FALSE(timerArmedWhileAllocating);
    EXPECT_EQ(statusWhileAllocating, "Freeing up memory...");
    EXPECT_EQ(app.sim.allocator.liveBlocks, 0);
    EXPECT_TRUE(w().tmrLoosePicOld.enabled());
    app.advance(10'000);
    EXPECT_EQ(app.sim.allocator.allocations, 1);  // once per arming
}

TEST_F(FreeingRunTest, ASecondStarterBeforeTheTickGivesOneRunInTheModeWrittenLast) {
    struct Case {
        const char* first;
        const char* second;
        const char* lastText;
        bool countdown;
    };
    const Case cases[] = {
        {"mnuDefragMemory2", "mnuDefragMemory1", "Ready@10", false},
        {"mnuDefragMemory1", "mnuDefragMemory2", "Done, quitting in 3...@10", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        test::SimApp fresh;
        fresh.start();
        CaptionLog log(fresh.sim.clock);
        fresh.w().lblStatus.attachPeer(&log);
        fresh.click(c.first);
        fresh.advance(5);
        fresh.click(c.second);
        fresh.advance(500);
        EXPECT_EQ(fresh.sim.allocator.allocations, 1);
        ASSERT_FALSE(log.texts.empty());
        EXPECT_EQ(log.texts.back(), c.lastText);
        EXPECT_EQ(fresh.w().tmrQuit.enabled(), c.countdown);
        fresh.w().lblStatus.attachPeer(nullptr);
    }
}

TEST_F(FreeingRunTest, TicksAndClicksDuringTheErrorBoxArriveAfterOk) {
    app.sim.allocator.fail = true;
    std::uint64_t refreshesBefore = 0, refreshesDuring = 0;
    bool watchCheckedDuring = true;
    app.sim.boxes.whileOpen = [&](const sim::SimBoxes::Box&) {
        if (app.sim.boxes.shown.size() > 1) return;
        const Control& refresh = w().tmrUpdateMemoryInformation;
        refreshesBefore = app.sim.dispatcher.deliveredTicks(refresh);
        app.advance(3000);  // the user takes 3 s to press OK
        app.click("mnuDefragMemory3");
        app.click("mnuDefragMemory1");
        refreshesDuring = app.sim.dispatcher.deliveredTicks(refresh);
        watchCheckedDuring = w().mnuDefragMemory3.checked();
        app.sim.allocator.fail = false;
    };
    app.click("mnuDefragMemory1");
    app.advance(10);  // the run's tick opens the box
    EXPECT_EQ(refreshesDuring, refreshesBefore);
    EXPECT_FALSE(watchCheckedDuring);
    app.advance(100);
    // After OK: "Ready", then the two clicks in order, then the second run.
    EXPECT_EQ(status.texts, (Texts{"Freeing up memory...@0", "Ready@3010",
                                   "Freeing up memory...@3010", "Ready@3020"}));
    EXPECT_TRUE(w().mnuDefragMemory3.checked());
    EXPECT_GT(app.sim.dispatcher.deliveredTicks(w().tmrUpdateMemoryInformation), refreshesDuring);
    EXPECT_EQ(app.sim.allocator.allocations, 2);
    EXPECT_EQ(app.sim.boxes.shown.size(), 1u);
}

TEST_F(FreeingRunTest, AFailureAfterTheAllocationReleasesTheBlockBeforeTheBox) {
    // File refuses to be disabled: the quit branch fails once the block is held.
    app.sim.toolkit.peer(w().mnuFile)->refuse = true;
    int liveWhileOpen = -1;
    app.sim.boxes.whileOpen = [&](const sim::SimBoxes::Box&) {
        liveWhileOpen = app.sim.allocator.liveBlocks;
    };
    app.click("mnuDefragMemory2");
    app.advance(6000);
    EXPECT_EQ(app.sim.boxes.shown.size(), 1u);
    EXPECT_EQ(liveWhileOpen, 0);
    EXPECT_EQ(w().lblStatus.caption(), "Ready");
    EXPECT_FALSE(w().tmrQuit.enabled());
    EXPECT_FALSE(w().unloaded());
}

TEST_F(FreeingRunTest, AMenuStarterLetsAFailureReachItsCaller) {
    app.sim.toolkit.peer(w().lblStatus)->refuse = true;
    w().lblStatus.attachPeer(app.sim.toolkit.peer(w().lblStatus));
    EXPECT_THROW(mnuDefragMemory1_Click(w()), PropertyRefused);
    EXPECT_FALSE(w().tmrDefragMemory.enabled());  // the steps after it never ran
    // The load handler and the watch skip the failing step and go on.
    startFreeingRun(w(), "x", kModeFreeAndQuit, StarterErrors::SkipAndGoOn);
    EXPECT_EQ(w().tmrDefragMemory.tag(), "4");
    EXPECT_TRUE(w().tmrDefragMemory.enabled());
}

}  // namespace
}  // namespace vk
