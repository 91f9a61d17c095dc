#include <gtest/gtest.h>

#include <vector>

#include "QtFixture.h"
#include "platform/qt/TrayActivation.h"
#include "tray/TrayRecord.h"

namespace vk::qt {
namespace {

using A = TrayActivation;

// Activations a few milliseconds apart, as hosts report one gesture, and
// what each stands for. The double-click interval is 400 ms.
TEST(TrayActivationDecoder, TurnsHostReportsIntoMouseMessages) {
    struct Step {
        A activation;
        std::int64_t atMs;
        std::uint32_t message;
    };
    struct Case {
        const char* host;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"a lone single activation does nothing", {{A::Single, 0, WM_LBUTTONUP}}},
        {"two singles within the interval are a double-click",
         {{A::Single, 0, WM_LBUTTONUP}, {A::Single, 250, WM_LBUTTONDBLCLK}}},
        {"two singles further apart are two single clicks",
         {{A::Single, 0, WM_LBUTTONUP}, {A::Single, 401, WM_LBUTTONUP}}},
        {"XEmbed: single then double is one double-click",
         {{A::Single, 0, WM_LBUTTONUP}, {A::Double, 200, WM_LBUTTONDBLCLK}}},
        {"single, single, double is still one double-click",
         {{A::Single, 0, WM_LBUTTONUP}, {A::Single, 200, WM_LBUTTONDBLCLK}, {A::Double, 201, 0}}},
        {"a double alone is a double-click", {{A::Double, 0, WM_LBUTTONDBLCLK}}},
        {"two gestures in a row are two double-clicks",
         {{A::Single, 0, WM_LBUTTONUP},
          {A::Double, 100, WM_LBUTTONDBLCLK},
          {A::Single, 200, WM_LBUTTONUP},
          {A::Double, 300, WM_LBUTTONDBLCLK}}},
        {"four quick singles are two double-clicks",
         {{A::Single, 0, WM_LBUTTONUP},
          {A::Single, 100, WM_LBUTTONDBLCLK},
          {A::Single, 200, WM_LBUTTONUP},
          {A::Single, 300, WM_LBUTTONDBLCLK}}},
        {"a late double after a pair counts again",
         {{A::Single, 0, WM_LBUTTONUP},
          {A::Single, 100, WM_LBUTTONDBLCLK},
          {A::Double, 600, WM_LBUTTONDBLCLK}}},
        {"the context request is the right-button release", {{A::Context, 0, WM_RBUTTONUP}}},
        {"a context request breaks a pair",
         {{A::Single, 0, WM_LBUTTONUP},
          {A::Context, 50, WM_RBUTTONUP},
          {A::Single, 100, WM_LBUTTONUP}}},
        {"the middle button does nothing", {{A::Other, 0, 0}}},
    };
    for (const Case& c : cases) {
        TrayActivationDecoder decoder;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            EXPECT_EQ(decoder.decode(s.activation, s.atMs, 400), s.message)
                << c.host << ", step " << i;
        }
    }
}

TEST(NotifyIconRecord, ReadsTheFieldsTheShellUses) {
    NotifyIconData data;
    data.cbSize = 88;
    data.hWnd = 0x1234;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_MOUSEMOVE;
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
        const NotifyIconFields f = readNotifyIcon(notifyIconBytes(data));
        EXPECT_EQ(f.hWnd, 0x1234u);
        EXPECT_EQ(f.uID, 1u);
        EXPECT_EQ(f.uFlags, 7u);
        EXPECT_EQ(f.uCallbackMessage, WM_MOUSEMOVE);
        EXPECT_EQ(f.hIcon, 0x5678u);
        EXPECT_EQ(f.tip, c.shown);
    }
}

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
    NotifyIconBytes record(std::uint32_t callback = WM_MOUSEMOVE) {
        NotifyIconData d;
        d.cbSize = 88;
        d.hWnd = form["TrayIcon"].handle();
        d.uID = 1;
        d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        d.uCallbackMessage = callback;
        d.hIcon = form.window().icon();
        d.szTip = fixedLengthTip("Velkrom");
        return notifyIconBytes(d);
    }
    std::uint32_t hWnd() { return static_cast<std::uint32_t>(form["TrayIcon"].handle()); }

    test::QtPlatform qt;
    Form form;
    std::vector<std::uint32_t> messages;
};

TEST_F(QtTrayShellTest, AddShowsTheIconAndTipDeleteTakesItAway) {
    ASSERT_NE(hWnd(), 0u);
    ASSERT_NE(form.window().icon(), 0u);
    qt.tray.notifyIcon(NIM_ADD, record());
    QSystemTrayIcon* entry = qt.tray.entry(hWnd(), 1);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->toolTip(), "Velkrom");
    EXPECT_FALSE(entry->icon().isNull());
    EXPECT_TRUE(entry->isVisible());

    EXPECT_EQ(qt.tray.notifyIcon(NIM_ADD, record()), 0) << "the entry exists already";
    EXPECT_NE(qt.tray.notifyIcon(NIM_DELETE, record()), 0);
    EXPECT_EQ(qt.tray.entry(hWnd(), 1), nullptr);
    EXPECT_EQ(qt.tray.notifyIcon(NIM_DELETE, record()), 0) << "nothing left to delete";
}

TEST_F(QtTrayShellTest, AnUnknownWindowGetsNoEntry) {
    NotifyIconBytes bytes = record();
    bytes[4] = bytes[5] = bytes[6] = bytes[7] = 0xEE;
    EXPECT_EQ(qt.tray.notifyIcon(NIM_ADD, bytes), 0);
    EXPECT_EQ(qt.tray.entry(0xEEEEEEEE, 1), nullptr);
}

TEST_F(QtTrayShellTest, ActivationsReachTrayIconAsMouseMessages) {
    qt.tray.notifyIcon(NIM_ADD, record());
    qt.tray.activate(hWnd(), 1, QSystemTrayIcon::Context);
    qt.tray.activate(hWnd(), 1, QSystemTrayIcon::Trigger);
    qt.tray.activate(hWnd(), 1, QSystemTrayIcon::DoubleClick);
    ASSERT_TRUE(test::waitFor([&] { return messages.size() == 3; }));
    EXPECT_EQ(messages, (std::vector<std::uint32_t>{WM_RBUTTONUP, WM_LBUTTONUP, WM_LBUTTONDBLCLK}));
}

TEST_F(QtTrayShellTest, AnotherCallbackMessageIsNoMouseMove) {
    qt.tray.notifyIcon(NIM_ADD, record(0x8001));
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
