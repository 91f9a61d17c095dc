#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "QtFixture.h"
#include "ToolkitHarness.h"
#include "platform/Errors.h"
#include "platform/qt/QtWakeTimer.h"
#include "platform/qt/QtWidgets.h"

namespace vk::qt {
namespace {

// A window with one of everything the toolkit builds: the contract's.
WindowDef testWindow() {
    return contract::contractWindow();
}

struct QtToolkitTest : ::testing::Test {
    QtToolkitTest() : form(testWindow()) {}
    void SetUp() override {
        qt.toolkit.createWindow(form);
        qt.dispatcher.attach(form);
        for (const auto& c : form.controls()) {
            const std::string name = c->name();
            for (EventType type :
                 {EventType::Click, EventType::DblClick, EventType::CloseRequest}) {
                if (!handled.count(name)) continue;
                form.on(name, type, [this, name, type] { log.push_back(describe(name, type)); });
            }
        }
    }
    void TearDown() override {
        qt.dispatcher.detach(form);
        qt.toolkit.destroyWindow(form);
    }
    static std::string describe(const std::string& name, EventType type) {
        const char* what = type == EventType::Click      ? "Click"
                           : type == EventType::DblClick ? "DblClick"
                                                         : "CloseRequest";
        return name + "_" + what;
    }
    QWidget* widget(const std::string& name) { return qt.toolkit.widget(form, name); }
    WindowWidget* window() { return qt.toolkit.window(form); }
    void show() {
        form.window().peer()->setVisible(true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    }
    void showActive() {
        show();
        window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    }

    test::QtPlatform qt;
    Form form;
    // Controls with handlers; the rest have none, as bars and captions do.
    std::set<std::string> handled{"frmTest",    "fraBox",       "lblOut",  "picBar",
                                  "cmdOK",      "cmdCancel",    "mnuItem", "mnuCheck",
                                  "mnuSubItem", "mnuOtherItem", "mnuPop"};
    std::vector<std::string> log;
};

TEST_F(QtToolkitTest, TheMenuBarHoldsTheVisibleTopLevelMenusWithTheirShortcuts) {
    QMenuBar* bar = window()->existingMenuBar();
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction* a : bar->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&Top", "&Other"}));

    QStringList entries;
    for (QAction* a : qt.toolkit.menu(form, "mnuTop")->actions()) {
        entries << (a->isSeparator() ? "-" : a->text() + "|" + a->shortcut().toString());
    }
    EXPECT_EQ(entries, (QStringList{"&Item|Ctrl+I", "&Check|Ctrl+K", "-", "&Sub|"}));
    EXPECT_TRUE(qt.toolkit.action(form, "mnuCheck")->isCheckable());
    EXPECT_EQ(qt.toolkit.menu(form, "mnuSub")->actions().size(), 1);
}

TEST(QtToolkitEnd, WidgetsOfADestroyedWindowGoWithTheToolkitIfTheLoopHasEnded) {
    QPointer<QWidget> top;
    QPointer<QMenu> popup;
    {
        test::QtPlatform qt;
        Form form(testWindow());
        qt.toolkit.createWindow(form);
        top = qt.toolkit.window(form);
        popup = qt.toolkit.menu(form, "mnuHidden");
        qt.toolkit.destroyWindow(form);
        ASSERT_FALSE(top.isNull()) << "deletion waits for the loop";
    }
    EXPECT_TRUE(top.isNull());
    EXPECT_TRUE(popup.isNull());
}

// A fixed window reads as a dialog, a sizable one as a frame, also when Qt
// made the window's accessible interface before the toolkit said which it is
// (seen with Qt 6.8: the title's change event makes it).
TEST_F(QtToolkitTest, AWindowsAccessibleRoleFollowsWhatTheToolkitMadeIt) {
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(window());
    ASSERT_NE(made, nullptr);
    const bool dialog = window()->dialog();
    EXPECT_EQ(made->role(), dialog ? QAccessible::Dialog : QAccessible::Window);
    window()->setDialog(!dialog);
    EXPECT_EQ(made->role(), dialog ? QAccessible::Window : QAccessible::Dialog);
    window()->setDialog(dialog);
}

// The loop driver's wake-up is single-shot to the driver: re-armed from its
// own firing for its period it keeps that pace, re-armed for another delay
// it takes that one, and not re-armed it fires no more.
TEST(QtWakeTimerTest, ItFiresOnlyAsReArmedFromItsOwnFiring) {
    QtWakeTimer wake;
    std::vector<qint64> firedAt;
    QElapsedTimer clock;
    wake.onFire = [&] {
        firedAt.push_back(clock.elapsed());
        if (firedAt.size() == 3)
            wake.start(60);
        else if (firedAt.size() < 5)
            wake.start(10);  // the refresh's pace
    };
    clock.start();
    wake.start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return firedAt.size() == 5; }, 5000));
    EXPECT_GE(firedAt[2] - firedAt[0], 19) << "two periods of 10 ms";
    EXPECT_GE(firedAt[3] - firedAt[2], 59) << "re-armed for 60 ms, it took the old period";
    EXPECT_GE(firedAt[4] - firedAt[3], 9) << "re-armed for 10 ms, it kept 60";
    // "Never again" cannot be waited on: five periods must pass without it.
    QTest::qWait(50);
    EXPECT_EQ(firedAt.size(), 5u) << "not re-armed, it fired again";
}

// Qt on X11 tells the program it lost the focus up to 0.4 s after its
// focused window went away, and closes a pop-up opened in between. A pop-up
// asked for while a hidden window still holds Qt's focus waits until the
// focus moves (here, where it never does, for the settling time); with the
// focus on a shown window it opens at once.
TEST_F(QtToolkitTest, APopupWaitsWhileAHiddenWindowStillHoldsTheFocus) {
    for (const bool hideFirst : {false, true}) {
        SCOPED_TRACE(hideFirst ? "window hidden" : "window shown");
        showActive();
        if (hideFirst) form.window().peer()->setVisible(false);
        const bool stale = hideFirst && QGuiApplication::focusWindow() == window()->windowHandle();
        QMenu* menu = qt.toolkit.menu(form, "mnuHidden");
        ASSERT_NE(menu, nullptr);
        qt.toolkit.popupMenu(form, "mnuHidden");
        EXPECT_EQ(menu->isVisible(), !stale);
        ASSERT_TRUE(test::waitFor([&] { return menu->isVisible(); }, 3000));
        EXPECT_EQ(QApplication::activePopupWidget(), menu);
        menu->hide();
        if (hideFirst) {
            EXPECT_TRUE(stale) << "the hidden window lost Qt's focus at once here";
        }
    }
}

}  // namespace
}  // namespace vk::qt
