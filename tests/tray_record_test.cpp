#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "SimApp.h"
#include "app/Startup.h"
#include "tray/TrayRecord.h"

namespace vk {
namespace {

std::uint32_t read32(const NotifyIconBytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

TEST(TrayRecord, FieldsGoToTheirOffsetsLittleEndian) {
    NotifyIconData record;
    record.cbSize = 0x11223344;
    record.hWnd = 0x55667788;
    record.uID = 0x99AABBCC;
    record.uFlags = 0xDDEEFF01;
    record.uCallbackMessage = 0x02030405;
    record.hIcon = 0x0708090A;
    const NotifyIconBytes bytes = encodeNotifyIcon(record);
    const struct {
        std::size_t at;
        std::uint8_t b0, b1, b2, b3;
    } rows[] = {
        {0, 0x44, 0x33, 0x22, 0x11},  {4, 0x88, 0x77, 0x66, 0x55},  {8, 0xCC, 0xBB, 0xAA, 0x99},
        {12, 0x01, 0xFF, 0xEE, 0xDD}, {16, 0x05, 0x04, 0x03, 0x02}, {20, 0x0A, 0x09, 0x08, 0x07},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.at);
        EXPECT_EQ(bytes[r.at], r.b0);
        EXPECT_EQ(bytes[r.at + 1], r.b1);
        EXPECT_EQ(bytes[r.at + 2], r.b2);
        EXPECT_EQ(bytes[r.at + 3], r.b3);
    }
}

TEST(TrayRecord, WideHandlesKeepTheirLow32Bits) {
    if constexpr (sizeof(std::uintptr_t) < 8) GTEST_SKIP() << "handles are 32-bit here";
    NotifyIconData record;
    record.hWnd = static_cast<std::uintptr_t>(0x1234567890ABCDEFull);
    record.hIcon = static_cast<std::uintptr_t>(0xFFFFFFFF00000001ull);
    const NotifyIconBytes bytes = encodeNotifyIcon(record);
    EXPECT_EQ(read32(bytes, 4), 0x90ABCDEFu);
    EXPECT_EQ(read32(bytes, 20), 1u);
    EXPECT_EQ(read32(bytes, 8), 0u);  // the neighbours are untouched
    EXPECT_EQ(read32(bytes, 16), 0u);
}

TEST(TrayRecord, TipIsFixedLengthBlankFilled) {
    const struct {
        std::string given, expectedStart;
    } rows[] = {
        {"", ""},
        {"Velkrom", "Velkrom"},
        {std::string(64, 'x'), std::string(64, 'x')},
        {std::string(70, 'y'), std::string(64, 'y')},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.given);
        const std::string tip = fixedLengthTip(r.given);
        ASSERT_EQ(tip.size(), kTipLength);
        EXPECT_EQ(tip.substr(0, r.expectedStart.size()), r.expectedStart);
        EXPECT_EQ(tip.find_first_not_of(' ', r.expectedStart.size()), std::string::npos);

        NotifyIconData record;
        record.szTip = r.given;  // not yet fixed-length: the conversion fills it
        const NotifyIconBytes bytes = encodeNotifyIcon(record);
        EXPECT_TRUE(std::equal(tip.begin(), tip.end(), bytes.begin() + 24));
    }
}

TEST(TrayRecord, DecodesTheFieldsTheShellUses) {
    NotifyIconData data;
    data.cbSize = 88;
    data.hWnd = 0x1234;
    data.uID = 1;
    data.uFlags = NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip;
    data.uCallbackMessage = MouseMessage::Move;
    data.hIcon = 0x5678;
    struct Case {
        std::string tip, shown;
    };
    const Case cases[] = {
        {fixedLengthTip("Velkrom"), "Velkrom"},
        {fixedLengthTip("two  words "), "two  words"},
        {fixedLengthTip(""), ""},
        {std::string("early") + '\0' + std::string(58, 'x'), "early"},
    };
    for (const Case& c : cases) {
        data.szTip = c.tip;
        const NotifyIconData f = decodeNotifyIcon(encodeNotifyIcon(data));
        EXPECT_EQ(f.hWnd, 0x1234u);
        EXPECT_EQ(f.uID, 1u);
        EXPECT_EQ(f.uFlags, 7u);
        EXPECT_EQ(f.uCallbackMessage, MouseMessage::Move);
        EXPECT_EQ(f.hIcon, 0x5678u);
        EXPECT_EQ(shownTip(f), c.shown);
    }
}

// The scenario: a program whose tray shell notes, at each call, what the
// program looked like at that moment.
struct Moment {
    std::uint32_t message;
    bool windowVisible;
    std::string showCaption;
    bool watchOn;
    bool runArmed;
    bool aboutLoaded;
    bool ended;
};

struct WatchingTray : TrayShell {
    std::int32_t notifyIcon(std::uint32_t message, const NotifyIconBytes& record) override {
        if (seen) moments.push_back(seen(message));
        return inner.notifyIcon(message, record);
    }
    bool entryShown(const NotifyIconBytes& record) const override {
        return inner.entryShown(record);
    }
    sim::SimTray& inner;
    std::function<Moment(std::uint32_t)> seen;
    std::vector<Moment> moments;
    explicit WatchingTray(sim::SimTray& shell) : inner(shell) {}
};

struct TrayScenario {
    explicit TrayScenario(std::string commandLine)
        : sim(std::move(commandLine)),
          tray(sim.tray),
          services{sim.dispatcher, sim.toolkit,  sim.memory,   sim.allocator,           tray,
                   sim.boxes,      sim.registry, sim.programs, sim.services.commandLine} {
        sim.memory.setMB(1024, 512, 2048, 1024);
        program = std::make_unique<Program>(services);
        tray.seen = [this](std::uint32_t message) {
            FrmMain& w = program->main();
            return Moment{message,
                          w.window.visible(),
                          w.mnuShow.caption(),
                          w.tmrCheckIfMemoryFull.enabled(),
                          w.tmrDefragMemory.enabled(),
                          program->about().loaded(),
                          sim.dispatcher.ended()};
        };
        program->start();
    }
    FrmMain& w() { return program->main(); }

    sim::SimPlatform sim;
    WatchingTray tray;
    Services services;
    std::unique_ptr<Program> program;
};

TEST(TrayEntry, TheAddHandsTheShellTheWholeRecord) {
    TrayScenario s("");
    ASSERT_EQ(s.sim.tray.calls.size(), 1u);
    const auto& call = s.sim.tray.calls[0];
    EXPECT_EQ(call.message, ShellMessage::Add);
    const NotifyIconBytes& b = call.record;
    EXPECT_EQ(read32(b, 0), 88u);
    EXPECT_EQ(read32(b, 4), s.w().TrayIcon.handle());
    EXPECT_NE(read32(b, 4), 0u);
    EXPECT_EQ(read32(b, 8), 1u);
    EXPECT_EQ(read32(b, 12), 7u);
    EXPECT_EQ(read32(b, 16), 0x200u);
    // The icon is the main window's, now held by TrayIcon.
    EXPECT_NE(s.w().window.icon(), 0u);
    EXPECT_EQ(s.w().TrayIcon.picture(), s.w().window.icon());
    EXPECT_EQ(read32(b, 20), s.w().window.icon());
    EXPECT_EQ(std::string(b.begin() + 24, b.begin() + 31), "Velkrom");
    EXPECT_EQ(std::count(b.begin() + 31, b.end(), 0x20), 57);
    EXPECT_EQ(std::count(b.begin() + 24, b.end(), 0), 0);
    EXPECT_EQ(s.w().TrayCallResult, 1);
    EXPECT_EQ(s.sim.tray.entries.size(), 1u);
    EXPECT_FALSE(s.w().TrayIcon.visible());
}

TEST(TrayEntry, AddedFirstInEveryStartMode) {
    for (const char* commandLine : {"", "/AUTO", "/QUIT"}) {
        SCOPED_TRACE(commandLine);
        TrayScenario s(commandLine);
        ASSERT_EQ(s.tray.moments.size(), 1u);
        const Moment& add = s.tray.moments[0];
        EXPECT_EQ(add.message, ShellMessage::Add);
        // Nothing of the start mode has happened yet.
        EXPECT_TRUE(add.windowVisible);
        EXPECT_EQ(add.showCaption, "&Hide");
        EXPECT_FALSE(add.watchOn);
        EXPECT_FALSE(add.runArmed);
        EXPECT_EQ(s.sim.tray.entries.size(), 1u);
    }
}

using ExitPath = std::function<void(TrayScenario&)>;

TEST(TrayEntry, DeletedLastOnEveryExitPath) {
    const struct {
        const char* name;
        const char* commandLine;
        ExitPath exit;
    } rows[] = {
        {"File Exit", "", [](TrayScenario& s) { s.sim.click(s.w().form, "mnuExit"); }},
        {"pop-up Exit", "", [](TrayScenario& s) { s.sim.click(s.w().form, "mnuExit2"); }},
        {"pop-up Exit while hidden", "/AUTO",
         [](TrayScenario& s) { s.sim.click(s.w().form, "mnuExit2"); }},
        {"close box", "",
         [](TrayScenario& s) { s.sim.post(s.w().form, "frmMain", EventType::CloseRequest); }},
        {"close box with About open", "",
         [](TrayScenario& s) {
             s.sim.click(s.w().form, "mnuAbout");
             ASSERT_TRUE(s.program->about().loaded());
             s.sim.post(s.w().form, "frmMain", EventType::CloseRequest);
         }},
        {"end of the quit countdown", "/QUIT", [](TrayScenario& s) { s.sim.advance(10'000); }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        TrayScenario s(r.commandLine);
        r.exit(s);
        ASSERT_TRUE(s.w().unloaded());
        s.sim.advance(10'000);  // nothing happens after the end
        ASSERT_EQ(s.tray.moments.size(), 2u);
        const Moment& del = s.tray.moments[1];
        EXPECT_EQ(del.message, ShellMessage::Delete);
        EXPECT_FALSE(del.aboutLoaded);  // the About dialog went first
        EXPECT_FALSE(del.ended);        // the program ends right after
        EXPECT_TRUE(s.sim.dispatcher.ended());
        EXPECT_EQ(s.sim.toolkit.quits, 1);
        // The same record that added the entry removes it.
        EXPECT_EQ(s.sim.tray.calls[1].record, s.sim.tray.calls[0].record);
        EXPECT_TRUE(s.sim.tray.entries.empty());
    }
}

TEST(TrayEntry, FailedAddLeavesTheProgramRunningAndItsDeleteIsSilent) {
    sim::SimPlatform sim("/AUTO");
    sim.tray.result = 0;
    Program program(sim.services);
    program.start();
    FrmMain& w = program.main();
    EXPECT_EQ(w.TrayCallResult, 0);
    // The start goes on: watch on, and the window minimised rather than
    // hidden, as there is no entry to come back from.
    EXPECT_EQ(w.window.windowState(), WindowState::Minimized);
    EXPECT_TRUE(w.mnuDefragMemory3.checked());
    sim.click(w.form, "mnuExit2");
    EXPECT_EQ(sim.tray.calls.size(), 2u);
    EXPECT_EQ(w.TrayCallResult, 0);
    EXPECT_TRUE(sim.dispatcher.ended());
    EXPECT_EQ(sim.boxes.shown.size(), 0u);
}

}  // namespace
}  // namespace vk
