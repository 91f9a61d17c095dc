#include "app/Startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SimApp.h"
#include "platform/EndRequest.h"

namespace vk {
namespace {

TEST(CommandLine, UpperCasesAsciiLettersOnly) {
    const struct {
        std::string given, expected;
    } rows[] = {
        {"/auto", "/AUTO"},
        {"/Quit", "/QUIT"},
        {"", ""},
        {"az AZ 09 @[`{", "AZ AZ 09 @[`{"},
        // Bytes beyond ASCII, a zero and control bytes pass as they are.
        {"/aut\xc3\xb6", "/AUT\xc3\xb6"},
        {std::string("/a\0u", 3), std::string("/A\0U", 3)},
        {"\x80\xff\x7f\x01", "\x80\xff\x7f\x01"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.given);
        EXPECT_EQ(upperCaseAscii(r.given), r.expected);
    }
}

enum class Mode { Normal, Auto, Quit };

struct Start : test::SimApp {
    explicit Start(std::string commandLine) : SimApp(std::move(commandLine)) { start(); }
    bool screenShows() { return sim.toolkit.peer(w().window)->shown; }
};

void expectMode(Start& s, Mode mode) {
    FrmMain& w = s.w();
    EXPECT_EQ(w.window.visible(), mode != Mode::Auto);
    EXPECT_EQ(s.screenShows(), mode != Mode::Auto);
    EXPECT_EQ(w.mnuShow.caption(), mode == Mode::Auto ? "&Show" : "&Hide");
    EXPECT_EQ(w.mnuDefragMemory3.checked(), mode == Mode::Auto);
    EXPECT_EQ(w.tmrCheckIfMemoryFull.enabled(), mode == Mode::Auto);
    EXPECT_EQ(w.mnuFile.enabled(), mode != Mode::Quit);
    EXPECT_EQ(w.mnuHelp.enabled(), mode != Mode::Quit);
    EXPECT_EQ(w.tmrDefragMemory.enabled(), mode == Mode::Quit);
    EXPECT_EQ(w.tmrDefragMemory.tag(), mode == Mode::Quit ? "4" : "0");
    EXPECT_EQ(w.lblStatus.caption(), mode == Mode::Quit ? "Freeing up memory..." : "Ready");
    EXPECT_EQ(s.sim.tray.entries.size(), 1u);
}

TEST(CommandLine, WholeLineComparedAfterUpperCasing) {
    const struct {
        std::string line;
        Mode mode;
    } rows[] = {
        {"/AUTO", Mode::Auto},          {"/auto", Mode::Auto},
        {"/Auto", Mode::Auto},          {"/QUIT", Mode::Quit},
        {"/quit", Mode::Quit},          {"", Mode::Normal},
        {"/QUIT ", Mode::Normal},       {" /AUTO", Mode::Normal},
        {"/AUTO /QUIT", Mode::Normal},  {"/AUTO/QUIT", Mode::Normal},
        {"AUTO", Mode::Normal},         {"-auto", Mode::Normal},
        {"/AUTOMATIC", Mode::Normal},   {std::string("/AUTO\0", 6), Mode::Normal},
        {"/\xc3\x81UTO", Mode::Normal}, {"\xff\xfe\x80/auto\x01", Mode::Normal},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        Start s(r.line);
        expectMode(s, r.mode);
    }
}

TEST(AutoStart, StaysHiddenWithTheWatchOnUntilShownFromTheTray) {
    Start s("/AUTO");
    s.sim.memory.setMB(1000, 40, 2000, 1000);  // full: the watch frees by itself
    s.advance(5000);
    EXPECT_FALSE(s.screenShows());
    EXPECT_GE(s.sim.allocator.allocations, 1);
    EXPECT_EQ(s.w().lblStatus.caption(), "Ready");
    EventArgs e;
    e.message = MouseMessage::LeftDoubleClick;
    s.sim.post(s.form(), "TrayIcon", EventType::MouseMove, e);
    EXPECT_TRUE(s.screenShows());
    EXPECT_EQ(s.w().mnuShow.caption(), "&Hide");
}

TEST(QuitStart, FreesOnceCountsDownAndEnds) {
    Start s("/QUIT");
    FrmMain& w = s.w();
    // The markers hold the levels of the refresh made during the start, not
    // the design width of the bars.
    EXPECT_GE(s.sim.memory.queries, 1);
    EXPECT_EQ(w.picOldPhysical.width(), w.picAvailablePhysical.width());
    EXPECT_NE(w.picOldPhysical.width(), 2775);
    EXPECT_NE(w.picAvailablePhysical.width(), 135);
    EXPECT_EQ(w.picOldPagefile.width(), w.picAvailablePagefile.width());
    EXPECT_FALSE(w.picOldPhysical.visible());

    s.advance(20);
    EXPECT_EQ(s.sim.allocator.allocations, 1);
    EXPECT_FALSE(w.mnuFile.enabled());
    EXPECT_FALSE(w.mnuHelp.enabled());
    EXPECT_FALSE(w.unloaded());
    s.advance(3000);
    EXPECT_EQ(w.lblStatus.caption(), "Done, quitting in 0...");
    EXPECT_FALSE(w.mnuFile.enabled());
    s.advance(1100);
    EXPECT_TRUE(w.unloaded());
    EXPECT_EQ(s.sim.allocator.allocations, 1);
    EXPECT_TRUE(s.sim.tray.entries.empty());
    EXPECT_EQ(s.sim.toolkit.quits, 1);
}

TEST(Exit, EveryPathEndsTheProgramAndStopsItsTimers) {
    const struct {
        const char* name;
        const char* control;
        EventType type;
    } rows[] = {
        {"File Exit", "mnuExit", EventType::Click},
        {"pop-up Exit", "mnuExit2", EventType::Click},
        {"close box, session end, signal", "frmMain", EventType::CloseRequest},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Start s("");
        s.click("mnuDefragMemory3");  // a second timer running
        s.sim.post(s.form(), r.control, r.type);
        EXPECT_TRUE(s.w().unloaded());
        EXPECT_TRUE(s.sim.dispatcher.ended());
        EXPECT_EQ(s.sim.toolkit.quits, 1);
        EXPECT_TRUE(s.sim.tray.entries.empty());
        const int queries = s.sim.memory.queries;
        s.advance(5000);
        EXPECT_EQ(s.sim.memory.queries, queries);
        // A second exit does nothing more.
        s.w().unload();
        EXPECT_EQ(s.sim.tray.calls.size(), 2u);
    }
}

TEST(Exit, WhileTheAboutDialogIsOpenClosesItFirst) {
    Start s("");
    s.click("mnuAbout");
    ASSERT_TRUE(s.program->about().loaded());
    s.click("mnuExit2");
    EXPECT_FALSE(s.program->about().loaded());
    EXPECT_EQ(s.sim.toolkit.destroyed, (std::vector<std::string>{"frmAbout"}));
    EXPECT_TRUE(s.w().window.enabled());
    EXPECT_TRUE(s.sim.tray.entries.empty());
    EXPECT_EQ(s.sim.tray.calls.back().message, ShellMessage::Delete);
}

// A request to end the program (a signal, the end of the session) while a
// box waits never waits for its button: the box closes as if OK was
// pressed, the handler that opened it finishes, and the window unloads next.
// Nothing that arrived meanwhile is delivered before: not the ticks that
// came due, not a tray double-click, not a menu click.
TEST(Exit, AnEndRequestWhileABoxWaitsClosesItAndUnloadsNext) {
    const struct {
        const char* name;
        std::function<void(Start&)> openBox;
    } rows[] = {
        {"freeing error",
         [](Start& s) {
             s.sim.allocator.fail = true;
             s.click("mnuDefragMemory1");
             s.advance(20);
         }},
        {"System Information failure",
         [](Start& s) {
             s.click("mnuAbout");
             s.sim.click(*s.program->about().form(), "cmdSysInfo");
         }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Start s("");
        int queriesAtRequest = -1;
        s.sim.boxes.whileOpen = [&](const sim::SimBoxes::Box&) {
            s.advance(2000);
            EventArgs e;
            e.message = MouseMessage::LeftDoubleClick;
            s.sim.post(s.form(), "TrayIcon", EventType::MouseMove, e);
            s.click("mnuDefragMemory1");
            queriesAtRequest = s.sim.memory.queries;
            requestEnd(s.sim.dispatcher, s.sim.boxes, s.form());
        };
        r.openBox(s);
        FrmMain& w = s.w();
        ASSERT_EQ(s.sim.boxes.shown.size(), 1u);
        EXPECT_TRUE(s.sim.boxes.shown[0].dismissed);
        EXPECT_TRUE(w.unloaded());
        EXPECT_TRUE(s.sim.dispatcher.ended());
        EXPECT_TRUE(s.sim.tray.entries.empty());
        EXPECT_FALSE(s.program->about().loaded());
        // The freeing run set "Ready" after its box; no click started another.
        EXPECT_EQ(w.lblStatus.caption(), "Ready");
        EXPECT_FALSE(w.tmrDefragMemory.enabled());
        EXPECT_TRUE(w.window.visible()) << "the tray double-click came before the unload";
        EXPECT_EQ(s.sim.memory.queries, queriesAtRequest) << "a refresh tick came first";
    }
}

TEST(Load, ARefusedStepDoesNotStopTheStart) {
    const struct {
        const char* line;
        const char* refusing;
        std::function<void(FrmMain&)> check;
    } rows[] = {
        {"/AUTO", "mnuShow",
         [](FrmMain& w) {
             EXPECT_FALSE(w.window.visible());
             EXPECT_EQ(w.mnuShow.caption(), "&Hide");
             EXPECT_TRUE(w.mnuDefragMemory3.checked());
         }},
        {"/QUIT", "mnuFile",
         [](FrmMain& w) {
             EXPECT_TRUE(w.mnuFile.enabled());
             EXPECT_FALSE(w.mnuHelp.enabled());
             EXPECT_EQ(w.tmrDefragMemory.tag(), "4");
             EXPECT_TRUE(w.tmrDefragMemory.enabled());
         }},
        {"/QUIT", "lblStatus",
         [](FrmMain& w) {
             EXPECT_EQ(w.lblStatus.caption(), "Ready");
             EXPECT_TRUE(w.tmrDefragMemory.enabled());
         }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.refusing);
        sim::SimPlatform sim(r.line);
        test::RefusingToolkit toolkit(sim.toolkit, r.refusing);
        Services services{sim.dispatcher, toolkit,      sim.memory,
                          sim.allocator,  sim.tray,     sim.boxes,
                          sim.registry,   sim.programs, sim.services.commandLine};
        Program program(services);
        program.start();
        EXPECT_EQ(sim.tray.entries.size(), 1u);
        r.check(program.main());
    }
}

}  // namespace
}  // namespace vk
