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
