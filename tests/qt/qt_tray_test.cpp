#include <gtest/gtest.h>

#include <vector>

#include "QtFixture.h"
#include "tray/TrayRecord.h"

namespace vk::qt {
namespace {

WindowDef trayWindow() {
    WindowDef w;
    w.name = "frmTray";
    w.clientWidth = 1500;
    w.clientHeight = 1500;
    ControlDef box;
    box.name = "TrayIcon";
    box.kind = ControlKind::PictureBox;
    box.width = box.height = 375;
    box.visible = false;
    w.controls.push_back(box);
    return w;
}

struct QtTrayShellTest : ::testing::Test {
    QtTrayShellTest() : form(trayWindow()) {}
    void SetUp() override {
        qt.toolkit.createWindow(form);
        form.on("TrayIcon", EventType::MouseMove,
                Handler([this](const EventArgs& e) { messages.push_back(e.message); }));
        qt.dispatcher.attach(form);
    }
    void TearDown() override {
        qt.dispatcher.detach(form);
        qt.toolkit.destroyWindow(form);
    }
    NotifyIconBytes record(std::uint32_t callback = MouseMessage::Move) {
        NotifyIconData d;
        d.cbSize = 88;
        d.hWnd = form["TrayIcon"].handle();
        d.uID = 1;
        d.uFlags = NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip;
        d.uCallbackMessage = callback;
        d.hIcon = form.window().icon();
        d.szTip = fixedLengthTip("Velkrom");
        return encodeNotifyIcon(d);
    }
    std::uint32_t hWnd() { return static_cast<std::uint32_t>(form["TrayIcon"].handle()); }

    test::QtPlatform qt;
    Form form;
    std::vector<std::uint32_t> messages;
};

TEST_F(QtTrayShellTest, AddShowsTheIconAndTipDeleteTakesItAway) {
    ASSERT_NE(hWnd(), 0u);
    ASSERT_NE(form.window().icon(), 0u);
    qt.tray.notifyIcon(ShellMessage::Add, record());
    QSystemTrayIcon* entry = qt.tray.entry(hWnd(), 1);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->toolTip(), "Velkrom");
    EXPECT_FALSE(entry->icon().isNull());
    EXPECT_TRUE(entry->isVisible());

    EXPECT_EQ(qt.tray.notifyIcon(ShellMessage::Add, record()), 0) << "the entry exists already";
    EXPECT_NE(qt.tray.notifyIcon(ShellMessage::Delete, record()), 0);
    EXPECT_EQ(qt.tray.entry(hWnd(), 1), nullptr);
    EXPECT_EQ(qt.tray.notifyIcon(ShellMessage::Delete, record()), 0) << "nothing left to delete";
}

TEST_F(QtTrayShellTest, AnUnknownWindowGetsNoEntry) {
    NotifyIconBytes bytes = record();
    bytes[4] = bytes[5] = bytes[6] = bytes[7] = 0xEE;
    EXPECT_EQ(qt.tray.notifyIcon(ShellMessage::Add, bytes), 0);
    EXPECT_EQ(qt.tray.entry(0xEEEEEEEE, 1), nullptr);
}

TEST_F(QtTrayShellTest, ActivationsReachTrayIconAsMouseMessages) {
    qt.tray.notifyIcon(ShellMessage::Add, record());
    qt.tray.activate(hWnd(), 1, QSystemTrayIcon::Context);
    qt.tray.activate(hWnd(), 1, QSystemTrayIcon::Trigger);
    qt.tray.activate(hWnd(), 1, QSystemTrayIcon::DoubleClick);
    ASSERT_TRUE(test::waitFor([&] { return messages.size() == 3; }));
    EXPECT_EQ(messages, (std::vector<std::uint32_t>{MouseMessage::RightUp, MouseMessage::LeftUp,
                                                    MouseMessage::LeftDoubleClick}));
}

TEST_F(QtTrayShellTest, AnotherCallbackMessageIsNoMouseMove) {
    qt.tray.notifyIcon(ShellMessage::Add, record(0x8001));
    qt.tray.activate(hWnd(), 1, QSystemTrayIcon::Context);
    qt.tray.activate(hWnd(), 1, QSystemTrayIcon::DoubleClick);
    // Events arrive in order: once a marker posted after them is through,
    // they would have been too.
    EventArgs marker;
    marker.message = 0xABCD;
    qt.loop.postLater(form, "TrayIcon", EventType::MouseMove, marker);
    ASSERT_TRUE(test::waitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages, (std::vector<std::uint32_t>{0xABCD}));
}

}  // namespace
}  // namespace vk::qt
