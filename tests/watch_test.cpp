#include "freeing/Watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimApp.h"

namespace vk {
namespace {

TEST(FreeingDue, Thresholds) {
    struct Case {
        double total, free;
        bool due;
    };
    const Case cases[] = {
        {1000, 49, true},     {1000, 50, false}, {511, 25, true},   {511, 26, false},
        {20, 0, true},        {19, 0, true},     {0, 0, false},     {32767, 1638, true},
        {32767, 1639, false}, {1024, 51, true},  {1024, 52, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(freeingDue(c.total, c.free), c.due) << c.total << " / " << c.free;
    }
}

// For whole megabytes the test in double precision agrees with the exact
// rule 20 x free < total; checked around the boundary of every total up to
// 4 TiB.
TEST(FreeingDue, AgreesWithTwentyTimesFreeBelowTotal) {
    for (std::int64_t total = 0; total <= (std::int64_t{1} << 22); ++total) {
        const std::int64_t edge = total / 20;
        for (std::int64_t free = std::max<std::int64_t>(0, edge - 1); free <= edge + 1; ++free) {
            ASSERT_EQ(freeingDue(static_cast<double>(total), static_cast<double>(free)),
                      20 * free < total)
                << total << " / " << free;
        }
    }
}

struct WatchTest : ::testing::Test {
    void SetUp() override {
        app.start();
        app.sim.allocator.whileAllocating = [this] { runs.push_back(app.sim.now()); };
    }
    FrmMain& w() { return app.w(); }
    void setPhysical(int total, int free) { app.sim.memory.setMB(total, free, 2048, 1024); }

    test::SimApp app;
    std::vector<std::int64_t> runs;  // when each run allocated
};

TEST_F(WatchTest, ARunIsDueBelowFivePercentOfTheTotal) {
    struct Case {
        int total, free;
        bool runs;
    };
    const Case cases[] = {{1000, 49, true}, {1000, 50, false}, {511, 25, true}, {511, 26, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.total) + "/" + std::to_string(c.free));
        test::SimApp fresh;
        fresh.start();
        fresh.sim.memory.setMB(c.total, c.free, 2048, 1024);
        fresh.click("mnuDefragMemory3");
        fresh.advance(2100);
        EXPECT_EQ(fresh.sim.allocator.allocations, c.runs ? 1 : 0);
        EXPECT_EQ(fresh.w().tmrDefragMemory.tag(), c.runs ? "1" : "0");
    }
}

TEST_F(WatchTest, TestsEverySecondTickAndKeepsWatchingAfterARun) {
    setPhysical(1000, 10);
    app.click("mnuDefragMemory3");
    EXPECT_TRUE(w().mnuDefragMemory3.checked());
    EXPECT_TRUE(w().tmrCheckIfMemoryFull.enabled());
    const std::string tags[] = {"1", "0", "1", "0"};
    for (const auto& tag : tags) {
        app.advance(1000);
        EXPECT_EQ(w().tmrCheckIfMemoryFull.tag(), tag) << "at " << app.sim.now();
    }
    app.advance(2010);
    EXPECT_EQ(runs, (std::vector<std::int64_t>{2010, 4010, 6010}));
}

TEST_F(WatchTest, SwitchingOnOffOnRestartsTheCount) {
    setPhysical(1000, 10);
    app.click("mnuDefragMemory3");
    app.advance(500);
    app.click("mnuDefragMemory3");
    EXPECT_FALSE(w().mnuDefragMemory3.checked());
    EXPECT_FALSE(w().tmrCheckIfMemoryFull.enabled());
    app.advance(300);
    app.click("mnuDefragMemory3");  // at 800: the first test comes at 2800
    app.advance(1999);
    EXPECT_TRUE(runs.empty());
    app.advance(20);
    EXPECT_EQ(runs, (std::vector<std::int64_t>{2810}));
}

TEST_F(WatchTest, UncheckingAtCountOneMeansNoTest) {
    setPhysical(1000, 10);
    app.click("mnuDefragMemory3");
    app.advance(1500);
    ASSERT_EQ(w().tmrCheckIfMemoryFull.tag(), "1");
    app.click("mnuDefragMemory3");
    EXPECT_EQ(w().tmrCheckIfMemoryFull.tag(), "0");
    app.advance(10'000);
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(w().lblStatus.caption(), "Ready");
}

TEST_F(WatchTest, AFailedFigureReadStartsARun) {
    app.click("mnuDefragMemory3");
    app.advance(1995);
    app.sim.memory.fail = true;  // the refresh skips its steps too
    app.advance(10);
    EXPECT_EQ(w().lblStatus.caption(), "Out of memory, freeing...");
    EXPECT_TRUE(w().tmrDefragMemory.enabled());
}

TEST_F(WatchTest, AStatusLineThatRefusesItsTextStillStartsTheRun) {
    app.sim.toolkit.peer(w().lblStatus)->refuse = true;
    setPhysical(1000, 10);
    app.click("mnuDefragMemory3");
    app.advance(2010);
    EXPECT_EQ(runs, (std::vector<std::int64_t>{2010}));
}

TEST_F(WatchTest, ARunDuringTheCountdownIsFreeOnlyAndTheNextTickOverwritesReady) {
    struct Log : ControlPeer {
        explicit Log(const sim::SimClock& c) : clock(c) {}
        void setCaption(const std::string& t) override {
            texts.push_back(t + "@" + std::to_string(clock.nowMs()));
        }
        const sim::SimClock& clock;
        std::vector<std::string> texts;
    } log(app.sim.clock);
    w().lblStatus.attachPeer(&log);
    setPhysical(1000, 10);
    app.click("mnuDefragMemory2");  // quit mode: the countdown starts at 10
    app.advance(500);
    app.click("mnuDefragMemory3");  // the watch tests at 2500
    app.advance(4000);
    EXPECT_EQ(log.texts, (std::vector<std::string>{
                             "Freeing up memory...@0", "Done, quitting in 3...@10",
                             "Done, quitting in 2...@1010", "Done, quitting in 1...@2010",
                             "Out of memory, freeing...@2500", "Ready@2510",
                             "Done, quitting in 0...@3010", "Done, quitting in -1...@4010"}));
    EXPECT_EQ(runs, (std::vector<std::int64_t>{10, 2510}));
    EXPECT_TRUE(w().unloaded());  // the countdown kept its pace
    w().lblStatus.attachPeer(nullptr);
}

}  // namespace
}  // namespace vk
