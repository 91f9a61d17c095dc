#include "memory/Refresh.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "SimApp.h"
#include "memory/FreeBar.h"
#include "platform/Errors.h"

namespace vk {
namespace {

// The free bar's width: the free share of the bar, ties to even.
TEST(FreeBarWidth, IsTheFreeShareOfTheBar) {
    struct Case {
        std::int32_t freeMB;
        double bar;
        std::int32_t totalMB;
        std::int32_t width;
    };
    const std::vector<Case> cases = {
        {100, 3615, 256, 1412},      // 1412.1
        {512, 3615, 1024, 1808},     // 1807.5: even neighbour above
        {3, 3615, 10, 1084},         // 1084.5: even neighbour below
        {1205, 3615, 2410, 1808},    // 1807.5
        {2400, 3615, 2411, 3599},    // an integer scale would show two thirds
        {6144, 3615, 24576, 904},    // 903.75; an integer scale would be 0
        {65535, 3615, 65536, 3615},  // 3614.94
        {8, 3615, 65536, 0},         // too small a share for one twip
        {0, 3615, 1024, 0},         {1024, 3615, 1024, 3615},
        {1100, 3615, 1000, 3976},  // 3976.5, and wider than the bar
    };
    for (const auto& c : cases) {
        EXPECT_EQ(freeBarWidth(c.freeMB, c.bar, c.totalMB), c.width)
            << c.freeMB << " of " << c.totalMB;
    }
}

TEST(FreeBarWidth, ATotalOfZeroOrAnOversizedWidthFails) {
    EXPECT_THROW(freeBarWidth(0, 3615, 0), DivisionByZero);
    EXPECT_THROW(freeBarWidth(100, 3615, 0), DivisionByZero);
    EXPECT_THROW(freeBarWidth(2'147'483'647, 3615, 1), OverflowError);
}

// What a screen reader hears from the bar: the free share in whole percent.
TEST(FreeSharePercent, IsTheFreeShareRoundedAndHeldInTheBarsRange) {
    struct Case {
        std::int32_t freeMB, totalMB;
        int percent;
    };
    const std::vector<Case> cases = {
        {100, 256, 39},      // 39.06
        {23137, 24105, 96},  // 95.98
        {1, 200, 0},         // 0.5: even neighbour below
        {3, 200, 2},         // 1.5: even neighbour above
        {0, 1024, 0},        {1024, 1024, 100},
        {1100, 1000, 100},    // more free than total (odd figures)
        {-100, 1000, 0},      // a negative figure
        {65535, 65536, 100},  // 99.998
        {8, 65536, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(freeSharePercent(c.freeMB, c.totalMB), c.percent)
            << c.freeMB << " of " << c.totalMB;
    }
    EXPECT_THROW(freeSharePercent(100, 0), DivisionByZero);
}

// What the refresh writes, for one frame.
struct Frame {
    std::string total, used, free;
    double width, left;
    bool shown;
    friend bool operator==(const Frame&, const Frame&) = default;
};

void PrintTo(const Frame& f, std::ostream* os) {
    *os << "{" << f.total << ", " << f.used << ", " << f.free << ", width " << f.width << ", left "
        << f.left << (f.shown ? ", shown}" : ", hidden}");
}

struct RefreshTest : ::testing::Test {
    void SetUp() override { app.start(); }
    void tick() { tmrUpdateMemoryInformation_Timer(app.w()); }

    Frame physical() {
        FrmMain& w = app.w();
        return {w.lblTotalPhysicalShow.caption(), w.lblUsedPhysicalShow.caption(),
                w.lblFreePhysicalShow.caption(),  w.picAvailablePhysical.width(),
                w.picAvailablePhysical.left(),    w.picAvailablePhysical.visible()};
    }
    Frame pagefile() {
        FrmMain& w = app.w();
        return {w.lblTotalPagefileShow.caption(), w.lblUsedPagefileShow.caption(),
                w.lblFreePagefileShow.caption(),  w.picAvailablePagefile.width(),
                w.picAvailablePagefile.left(),    w.picAvailablePagefile.visible()};
    }

    test::SimApp app;
    sim::SimMemory& memory = app.sim.memory;
};

// Widths as the screen takes them: whole 15-twip pixels.
TEST_F(RefreshTest, CaptionsAndBarsFollowTheFigures) {
    struct Case {
        const char* what;
        std::array<std::uint64_t, 4> mb;  // total, free physical; total, free pagefile
        Frame physical, pagefile;
    };
    const std::vector<Case> cases = {
        {"worked example: 1412 twips snap to 1410",
         {256, 100, 1024, 512},
         {"256 MB", "156 MB", "100 MB", 1410, 2205, true},
         {"1024 MB", "512 MB", "512 MB", 1815, 1800, true}},
        {"a large machine keeps its free share",
         {24576, 6144, 65536, 65535},
         {"24576 MB", "18432 MB", "6144 MB", 900, 2715, true},
         {"65536 MB", "1 MB", "65535 MB", 3615, 0, true}},
        {"just above the old scale's 2410 MB step",
         {2411, 2400, 2410, 1205},
         {"2411 MB", "11 MB", "2400 MB", 3600, 15, true},
         {"2410 MB", "1205 MB", "1205 MB", 1815, 1800, true}},
        {"nothing used: the free bar covers the used bar",
         {1024, 1024, 3000, 3000},
         {"1024 MB", "0 MB", "1024 MB", 3615, 0, true},
         {"3000 MB", "0 MB", "3000 MB", 3615, 0, true}},
        {"nothing free: the free bar is hidden",
         {1024, 0, 2048, 0},
         {"1024 MB", "1024 MB", "0 MB", 0, 3615, false},
         {"2048 MB", "2048 MB", "0 MB", 0, 3615, false}},
        {"a share too small for a twip stays shown",
         {65536, 8, 65536, 200},
         {"65536 MB", "65528 MB", "8 MB", 0, 3615, true},
         {"65536 MB", "65336 MB", "200 MB", 15, 3600, true}},
    };
    for (const auto& c : cases) {
        memory.setMB(c.mb[0], c.mb[1], c.mb[2], c.mb[3]);
        tick();
        EXPECT_EQ(physical(), c.physical) << c.what;
        EXPECT_EQ(pagefile(), c.pagefile) << c.what;
    }
}

// The bar as a whole holds the share; a tick that cannot take it (a total of
// 0) leaves the last one, as it leaves the bar's width.
TEST_F(RefreshTest, TheUsedBarsValueIsTheFreeShare) {
    FrmMain& w = app.w();
    memory.setMB(256, 100, 1024, 1024);
    tick();
    EXPECT_EQ(w.picUsedPhysical.value(), 39);
    EXPECT_EQ(w.picUsedPagefile.value(), 100);
    memory.setMB(0, 100, 1024, 0);
    tick();
    EXPECT_EQ(w.picUsedPhysical.value(), 39);
    EXPECT_EQ(w.picUsedPagefile.value(), 0);
}

TEST_F(RefreshTest, EveryFigureComesFromItsOwnQueryInStepOrder) {
    // Query number n (counted from this tick) answers n MB in every field, so
    // each caption and bar tells which query it came from.
    const int before = memory.queries;
    memory.script = [before](int number, MemoryStatus& s) {
        const std::uint64_t bytes = static_cast<std::uint64_t>(number - before) * 1024 * 1024;
        s = {bytes, bytes, bytes, bytes};
    };
    tick();
    EXPECT_EQ(memory.queries - before, 18);
    // Used = total (asked first) minus free (asked next): always -1 here.
    // Bars: free 10 of total 9 and free 12 of total 11, wider than the used
    // bar, so their left ends lie outside it.
    EXPECT_EQ(physical(), (Frame{"1 MB", "-1 MB", "4 MB", 4020, -405, true}));
    EXPECT_EQ(pagefile(), (Frame{"5 MB", "-1 MB", "8 MB", 3945, -330, true}));
}

TEST_F(RefreshTest, NothingUsedIsDecidedByItsOwnQueries) {
    // The share step sees half free; the later test finds nothing used.
    const int before = memory.queries;
    memory.script = [before](int number, MemoryStatus& s) {
        const bool late = number - before > 14;
        const std::uint64_t MB = 1024 * 1024;
        s = {1024 * MB, (late ? 1024 : 512) * MB, 2048 * MB, 1024 * MB};
    };
    tick();
    EXPECT_EQ(physical().width, 3615);
    EXPECT_EQ(physical().left, 0);
    EXPECT_EQ(pagefile().width, 1815);
}

TEST_F(RefreshTest, ATotalOfZeroKeepsTheBarWidthAndBreaksNothingElse) {
    memory.setMB(1024, 512, 2048, 512);
    tick();
    const Frame pagefileBefore = pagefile();

    // A source that reports free memory but no total: the share cannot be
    // taken, so the bar keeps its width.
    memory.setMB(0, 100, 2048, 512);
    tick();
    EXPECT_EQ(physical(), (Frame{"0 MB", "-100 MB", "100 MB", 1815, 1800, true}));
    EXPECT_EQ(pagefile(), pagefileBefore);

    // Nothing at all: zero used, so the bar takes the full width, but it is
    // hidden because nothing is free.
    memory.setMB(0, 0, 2048, 512);
    tick();
    EXPECT_EQ(physical(), (Frame{"0 MB", "0 MB", "0 MB", 3615, 0, false}));
    EXPECT_EQ(pagefile(), pagefileBefore);
}

TEST_F(RefreshTest, AFailingSourceLeavesTheWholeDisplayAsItWas) {
    memory.setMB(256, 100, 1024, 512);
    tick();
    const Frame physicalBefore = physical();
    const Frame pagefileBefore = pagefile();

    memory.setMB(2048, 2048, 4096, 0);
    memory.fail = true;
    const int before = memory.queries;
    tick();
    // Every step still tries, once: a step that needs two figures stops at
    // the first failure.
    EXPECT_EQ(memory.queries - before, 12);
    EXPECT_EQ(physical(), physicalBefore);
    EXPECT_EQ(pagefile(), pagefileBefore);

    memory.fail = false;  // the next tick recovers
    tick();
    EXPECT_EQ(physical(), (Frame{"2048 MB", "0 MB", "2048 MB", 3615, 0, true}));
}

TEST_F(RefreshTest, AControlThatRefusesKeepsItsValueAndTheRestUpdates) {
    const std::vector<std::string> refusing = {"lblTotalPhysicalShow", "lblUsedPagefileShow",
                                               "picAvailablePhysical"};
    for (const std::string& name : refusing) {
        test::SimApp subject;
        subject.start();
        test::SimApp reference;
        reference.start();
        for (test::SimApp* each : {&subject, &reference}) {
            each->sim.memory.setMB(1024, 512, 2048, 1024);
            tmrUpdateMemoryInformation_Timer(each->w());
        }
        Control& control = subject[name];
        const std::string caption = control.caption();
        const double width = control.width();
        const double left = control.left();
        subject.sim.toolkit.peer(control)->refuse = true;

        for (test::SimApp* each : {&subject, &reference}) {
            each->sim.memory.setMB(4096, 1024, 8192, 512);
            tmrUpdateMemoryInformation_Timer(each->w());
        }
        EXPECT_EQ(control.caption(), caption) << name;
        EXPECT_EQ(control.width(), width) << name;
        EXPECT_EQ(control.left(), left) << name;
        for (const auto& other : subject.form().controls()) {
            if (other->name() == name) continue;
            const Control& same = reference[other->name()];
            EXPECT_EQ(other->caption(), same.caption()) << other->name() << ", " << name;
            EXPECT_EQ(other->width(), same.width()) << other->name() << ", " << name;
            EXPECT_EQ(other->left(), same.left()) << other->name() << ", " << name;
            EXPECT_EQ(other->visible(), same.visible()) << other->name() << ", " << name;
        }
    }
}

TEST_F(RefreshTest, AfterARunEachMarkerThatFitsItsFreeBarIsShownOnce) {
    // Free bars will be 1815 wide (physical) and 900 (pagefile).
    struct Case {
        double physicalMarker, pagefileMarker;
        bool physicalShown, pagefileShown;
    };
    const std::vector<Case> cases = {
        {1815, 900, true, true},   // as wide as the bar: shown
        {1200, 600, true, true},   // narrower: the run freed memory
        {1830, 900, false, true},  // wider: free memory fell during the run
        {1815, 915, true, false}, {3615, 3615, false, false},
    };
    memory.setMB(1024, 512, 4096, 1020);
    for (const auto& c : cases) {
        FrmMain& w = app.w();
        w.picOldPhysical.setVisible(false);
        w.picOldPagefile.setVisible(false);
        w.picOldPhysical.setWidth(c.physicalMarker);
        w.picOldPagefile.setWidth(c.pagefileMarker);
        w.ShowPicOld = true;
        tick();
        EXPECT_EQ(w.picOldPhysical.visible(), c.physicalShown) << c.physicalMarker;
        EXPECT_EQ(w.picOldPagefile.visible(), c.pagefileShown) << c.pagefileMarker;
        EXPECT_FALSE(w.ShowPicOld);
    }
}

TEST_F(RefreshTest, MarkersAreRevealedOnlyAfterARunAndNeverHiddenHere) {
    FrmMain& w = app.w();
    w.picOldPhysical.setWidth(600);
    w.picOldPagefile.setWidth(600);
    tick();  // no run: markers stay hidden even though they fit
    EXPECT_FALSE(w.picOldPhysical.visible());
    EXPECT_FALSE(w.picOldPagefile.visible());

    w.ShowPicOld = true;
    tick();
    memory.setMB(1024, 10, 2048, 10);  // the free bars shrink below the markers
    tick();
    EXPECT_TRUE(w.picOldPhysical.visible());
    EXPECT_TRUE(w.picOldPagefile.visible());
}

TEST_F(RefreshTest, TheRefreshTimerRewritesTheDisplayEveryTenMilliseconds) {
    memory.setMB(512, 128, 1024, 256);
    const int before = memory.queries;
    app.advance(30);
    EXPECT_EQ(memory.queries - before, 3 * 18);
    EXPECT_EQ(physical(), (Frame{"512 MB", "384 MB", "128 MB", 900, 2715, true}));
}

}  // namespace
}  // namespace vk
