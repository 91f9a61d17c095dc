#include <gtest/gtest.h>

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
#include "platform/Errors.h"
#include "platform/qt/QtWidgets.h"

namespace vk::qt {
namespace {

ControlDef control(const char* name, ControlKind kind, const char* parent, double left, double top,
                   double width, double height) {
    return makeControl(kind, name, parent, name, left, top, width, height);
}

ControlDef menu(const char* name, const char* parent, const char* caption,
                const char* shortcut = "") {
    ControlDef d = control(name, ControlKind::Menu, parent, 0, 0, 0, 0);
    d.caption = caption;
    d.shortcut = shortcut;
    return d;
}

// A window with one of everything the toolkit builds.
WindowDef testWindow() {
    WindowDef w;
    w.name = "frmTest";
    w.caption = "Test";
    w.clientWidth = 3000;
    w.clientHeight = 2250;
    auto& c = w.controls;
    c.push_back(control("fraBox", ControlKind::Frame, "", 150, 150, 1500, 900));
    c.push_back(control("lblInFrame", ControlKind::Label, "fraBox", 150, 300, 600, 255));
    c.push_back(control("lblOut", ControlKind::Label, "", 1800, 150, 900, 255));
    ControlDef bar = control("picBar", ControlKind::PictureBox, "", 150, 1200, 1500, 255);
    bar.border = Border::Sunken3D;
    bar.backColor = Rgb{255, 0, 0};
    c.push_back(bar);
    ControlDef inner = control("picInner", ControlKind::PictureBox, "picBar", 0, 0, 600, 255);
    inner.backColor = Rgb{0, 255, 0};
    c.push_back(inner);
    ControlDef ok = control("cmdOK", ControlKind::Button, "", 1800, 600, 900, 345);
    ok.isDefault = true;
    c.push_back(ok);
    ControlDef cancel = control("cmdCancel", ControlKind::Button, "", 1800, 1050, 900, 345);
    cancel.isCancel = true;
    c.push_back(cancel);
    ControlDef timer = control("tmrFast", ControlKind::Timer, "", 0, 0, 0, 0);
    timer.intervalMs = 1;
    timer.enabled = false;
    c.push_back(timer);
    c.push_back(menu("mnuTop", "", "&Top"));
    c.push_back(menu("mnuItem", "mnuTop", "&Item", "Ctrl+I"));
    ControlDef check = menu("mnuCheck", "mnuTop", "&Check", "Ctrl+K");
    check.checkable = true;
    c.push_back(check);
    ControlDef line = menu("mnuLine", "mnuTop", "-");
    line.separator = true;
    c.push_back(line);
    c.push_back(menu("mnuSub", "mnuTop", "&Sub"));
    c.push_back(menu("mnuSubItem", "mnuSub", "Sub &item"));
    c.push_back(menu("mnuOther", "", "&Other"));
    c.push_back(menu("mnuOtherItem", "mnuOther", "Other item", "F2"));
    ControlDef hidden = menu("mnuHidden", "", "&Hidden");
    hidden.visible = false;
    c.push_back(hidden);
    c.push_back(menu("mnuPop", "mnuHidden", "&Pop"));
    return w;
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
        QApplication::setActiveWindow(window());
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

TEST_F(QtToolkitTest, ControlsSitAtTheirPixelsInTheirContainers) {
    struct Case {
        const char* control;
        QRect pixels;
        const char* parent;
    };
    const Case cases[] = {
        {"fraBox", {10, 10, 100, 60}, "client"},         {"lblInFrame", {10, 20, 40, 17}, "fraBox"},
        {"lblOut", {120, 10, 60, 17}, "client"},         {"picBar", {10, 80, 100, 17}, "client"},
        {"picInner", {0, 0, 40, 17}, "picBar's client"}, {"cmdOK", {120, 40, 60, 23}, "client"},
    };
    for (const Case& c : cases) {
        QWidget* w = widget(c.control);
        ASSERT_NE(w, nullptr) << c.control;
        EXPECT_EQ(w->geometry(), c.pixels) << c.control;
        QWidget* expectedParent = std::string(c.parent) == "client" ? window()->client()
                                  : std::string(c.parent) == "fraBox"
                                      ? widget("fraBox")
                                      : static_cast<PictureBoxWidget*>(widget("picBar"))->client();
        EXPECT_EQ(w->parentWidget(), expectedParent) << c.control;
    }
}

TEST_F(QtToolkitTest, ABorderedBoxClipsItsChildrenToTheAreaInsideTheBorder) {
    auto* bar = static_cast<PictureBoxWidget*>(widget("picBar"));
    EXPECT_EQ(bar->client()->geometry(), QRect(2, 2, 96, 13));
    QWidget* inner = widget("picInner");
    EXPECT_EQ(inner->mapTo(bar, QPoint(0, 0)), QPoint(2, 2));
    // Growing the box keeps the border two pixels wide.
    form["picBar"].setWidth(3000);
    EXPECT_EQ(bar->client()->geometry(), QRect(2, 2, 196, 13));
}

TEST_F(QtToolkitTest, GeometryTakesWholePixelsAndReportsThemBack) {
    struct Case {
        const char* property;
        double twips;
        double shown;  // twips of the pixels the screen took
        int pixels;
    };
    const Case cases[] = {
        {"width", 1807.5, 1815, 121},  // 120.5 pixels round away from zero
        {"width", 1800, 1800, 120},   {"width", 7, 0, 0},
        {"left", 100, 105, 7},        {"left", -22.5, -30, -2},
    };
    Control& bar = form["picInner"];
    QWidget* w = widget("picInner");
    for (const Case& c : cases) {
        const std::string property = c.property;
        if (property == "width") {
            bar.setWidth(c.twips);
            EXPECT_EQ(bar.width(), c.shown) << c.twips;
            EXPECT_EQ(w->width(), c.pixels) << c.twips;
        } else {
            bar.setLeft(c.twips);
            EXPECT_EQ(bar.left(), c.shown) << c.twips;
            EXPECT_EQ(w->x(), c.pixels) << c.twips;
        }
    }
}

TEST_F(QtToolkitTest, ImpossibleGeometryIsRefusedAndChangesNothing) {
    Control& bar = form["picInner"];
    const double before = bar.width();
    for (double bad : {-15.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), 1e12}) {
        EXPECT_THROW(bar.setWidth(bad), PropertyRefused) << bad;
        EXPECT_EQ(bar.width(), before) << bad;
    }
    EXPECT_THROW(bar.setLeft(std::numeric_limits<double>::quiet_NaN()), PropertyRefused);
}

TEST_F(QtToolkitTest, CaptionsVisibilityAndStateReachTheWidgets) {
    form["lblOut"].setCaption("New text");
    EXPECT_EQ(static_cast<LabelWidget*>(widget("lblOut"))->text(), "New text");
    form["fraBox"].setCaption("Frame text");
    EXPECT_EQ(static_cast<FrameWidget*>(widget("fraBox"))->text(), "Frame text");
    form["cmdOK"].setCaption("&Go");
    EXPECT_EQ(static_cast<QPushButton*>(widget("cmdOK"))->text(), "&Go");
    form["frmTest"].setCaption("Window text");
    EXPECT_EQ(window()->windowTitle(), "Window text");

    form["picInner"].setVisible(false);
    EXPECT_TRUE(widget("picInner")->isHidden());
    form["cmdOK"].setEnabled(false);
    EXPECT_FALSE(widget("cmdOK")->isEnabled());
}

TEST_F(QtToolkitTest, DoubleClicksGoToThatControlAndStopThere) {
    show();
    struct Case {
        const char* target;
        QPoint at;
        std::vector<std::string> posted;
    };
    const Case cases[] = {
        {"lblOut", {5, 5}, {"lblOut_DblClick"}},
        {"fraBox", {50, 50}, {"fraBox_DblClick"}},
        // No handler on these: the double-click is taken and goes nowhere,
        // in particular not to the frame or the window behind.
        {"lblInFrame", {5, 5}, {}},
        {"picInner", {5, 5}, {}},
        // The bar's own area outside its child is the bar's.
        {"picBar", {90, 8}, {"picBar_DblClick"}},
        {"frmTest", {195, 140}, {"frmTest_DblClick"}},
    };
    for (const Case& c : cases) {
        log.clear();
        QWidget* target =
            std::string(c.target) == "frmTest" ? window()->client() : widget(c.target);
        QTest::mouseDClick(target, Qt::LeftButton, {}, c.at);
        EXPECT_EQ(log, c.posted) << c.target;
    }
}

TEST_F(QtToolkitTest, TheCloseBoxAsksAndTheWindowStays) {
    show();
    EXPECT_FALSE(window()->close());
    EXPECT_EQ(log, (std::vector<std::string>{"frmTest_CloseRequest"}));
    EXPECT_TRUE(window()->isVisible());
    // A disabled window's close box does nothing.
    log.clear();
    form.window().setEnabled(false);
    EXPECT_FALSE(window()->close());
    EXPECT_TRUE(log.empty());
}

TEST_F(QtToolkitTest, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
    showActive();
    widget("lblOut")->setFocus();  // no button has the focus
    window()->setFocus();
    QTest::keyClick(window(), Qt::Key_Return);
    QTest::keyClick(window(), Qt::Key_Escape);
    EXPECT_EQ(log, (std::vector<std::string>{"cmdOK_Click", "cmdCancel_Click"}));
}

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

TEST_F(QtToolkitTest, ShortcutsAndEntriesPostClicks) {
    showActive();
    QTest::keyClick(window(), Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(window(), Qt::Key_F2);
    qt.toolkit.action(form, "mnuSubItem")->trigger();
    EXPECT_EQ(
        log, (std::vector<std::string>{"mnuItem_Click", "mnuOtherItem_Click", "mnuSubItem_Click"}));
}

TEST_F(QtToolkitTest, ACheckMarkChangesOnlyWhenTheLogicSetsIt) {
    QAction* check = qt.toolkit.action(form, "mnuCheck");
    check->trigger();
    EXPECT_EQ(log, (std::vector<std::string>{"mnuCheck_Click"}));
    EXPECT_FALSE(check->isChecked()) << "the handler did not set Checked";
    form["mnuCheck"].setChecked(true);
    EXPECT_TRUE(check->isChecked());
    check->trigger();
    EXPECT_TRUE(check->isChecked());
}

TEST_F(QtToolkitTest, ADisabledWindowIgnoresShortcutsAndItsMenuBar) {
    showActive();
    form.window().setEnabled(false);
    QTest::keyClick(window(), Qt::Key_I, Qt::ControlModifier);
    qt.toolkit.action(form, "mnuItem")->trigger();
    EXPECT_TRUE(log.empty());
    form.window().setEnabled(true);
    QApplication::setActiveWindow(window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    QTest::keyClick(window(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(log, (std::vector<std::string>{"mnuItem_Click"}));
}

TEST_F(QtToolkitTest, ADisabledTopLevelMenuKillsItsEntriesShortcuts) {
    showActive();
    form["mnuTop"].setEnabled(false);
    EXPECT_FALSE(qt.toolkit.menu(form, "mnuTop")->isEnabled());
    EXPECT_FALSE(qt.toolkit.action(form, "mnuTop")->isEnabled());
    QTest::keyClick(window(), Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(window(), Qt::Key_F2);
    EXPECT_EQ(log, (std::vector<std::string>{"mnuOtherItem_Click"}));
}

TEST_F(QtToolkitTest, AHiddenTopLevelMenuWorksAsAPopUpEvenBehindADisabledWindow) {
    show();
    form.window().setEnabled(false);
    qt.toolkit.popupMenu(form, "mnuHidden");
    QMenu* popup = qt.toolkit.menu(form, "mnuHidden");
    ASSERT_TRUE(test::waitFor([&] { return popup->isVisible(); }));
    EXPECT_EQ(QApplication::activePopupWidget(), popup);
    EXPECT_TRUE(popup->isEnabled());
    qt.toolkit.action(form, "mnuPop")->trigger();
    popup->hide();
    EXPECT_EQ(log, (std::vector<std::string>{"mnuPop_Click"}));
}

TEST_F(QtToolkitTest, TimersTickFromTheEventLoopAtMostEveryTenMilliseconds) {
    Control& timer = form["tmrFast"];
    int ticks = 0;
    form.on("tmrFast", EventType::Timer, [&] { ++ticks; });
    QElapsedTimer clock;
    clock.start();
    timer.setEnabled(true);
    ASSERT_TRUE(test::waitFor([&] { return ticks >= 20; }));
    const qint64 elapsed = clock.elapsed();
    timer.setEnabled(false);
    EXPECT_GE(elapsed, 190) << "20 ticks take at least 20 periods of 10 ms, less one";
    const int stopped = ticks;
    // A marker event posted now arrives after any tick already due.
    bool marker = false;
    form.on("lblOut", EventType::Click, [&] { marker = true; });
    qt.loop.postLater(form, "lblOut", EventType::Click);
    ASSERT_TRUE(test::waitFor([&] { return marker; }));
    EXPECT_EQ(ticks, stopped) << "a stopped timer does not tick";
}

// The box's own loop runs Qt's events while the handler waits in it: ticks
// and clicks arriving meanwhile wait until OK, then arrive in order.
TEST_F(QtToolkitTest, AModalBoxHoldsBackEveryEventUntilOk) {
    show();
    std::vector<std::string> order;
    int ticks = 0;
    int ticksWhileOpen = -1;
    form.on("tmrFast", EventType::Timer, [&] { ++ticks; });
    form.on("cmdCancel", EventType::Click, [&] { order.push_back("cancel"); });
    form.on("cmdOK", EventType::Click, [&] {
        const int before = ticks;
        QTimer::singleShot(300, [&, before] {
            // 300 ms of a 10 ms timer came due while the box waited.
            ticksWhileOpen = ticks - before;
            static_cast<QPushButton*>(widget("cmdCancel"))->click();
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->button(QMessageBox::Ok)->click();
            }
        });
        qt.boxes.show("Error text", "Error", BoxIcon::Critical);
        order.push_back("box closed");
    });
    form["tmrFast"].setEnabled(true);
    static_cast<QPushButton*>(widget("cmdOK"))->click();
    ASSERT_TRUE(test::waitFor([&] { return order.size() == 2; }));
    EXPECT_EQ(ticksWhileOpen, 0);
    EXPECT_EQ(order, (std::vector<std::string>{"box closed", "cancel"}));
    const int after = ticks;
    ASSERT_TRUE(test::waitFor([&] { return ticks > after; })) << "ticks resume after OK";
}

TEST_F(QtToolkitTest, AHandlerMayDestroyTheWindowItRunsFrom) {
    show();
    QPointer<QWidget> button = widget("cmdOK");
    QPointer<QWidget> top = window();
    form.on("cmdOK", EventType::Click, [&] { qt.toolkit.destroyWindow(form); });
    static_cast<QPushButton*>(button.data())->click();
    EXPECT_EQ(form["cmdOK"].peer(), nullptr);
    EXPECT_EQ(form.window().handle(), 0u);
    EXPECT_EQ(qt.toolkit.window(form), nullptr);
    ASSERT_TRUE(test::waitFor([&] { return top.isNull(); })) << "deleted once back in the loop";
    form["lblOut"].setCaption("no widget behind it any more");
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

TEST(QtToolkitBuild, AWindowThatCannotBeBuiltLeavesNothingBehind) {
    test::QtPlatform qt;
    WindowDef def = testWindow();
    def.controls.push_back(control("lblOrphan", ControlKind::Label, "fraMissing", 0, 0, 15, 15));
    Form form(def);
    EXPECT_THROW(qt.toolkit.createWindow(form), std::out_of_range);
    for (const auto& c : form.controls()) EXPECT_EQ(c->peer(), nullptr) << c->name();
    EXPECT_EQ(qt.toolkit.window(form), nullptr);
}

TEST_F(QtToolkitTest, TheWindowReportsItsOuterFrameInTwips) {
    form.window().setLeft(1500);
    form.window().setTop(3000);
    show();
    const QRect frame = window()->frameGeometry();
    EXPECT_EQ(form.window().left(), frame.x() * 15.0);
    EXPECT_EQ(form.window().top(), frame.y() * 15.0);
    EXPECT_EQ(form.window().width(), frame.width() * 15.0);
    EXPECT_EQ(form.window().height(), frame.height() * 15.0);
    EXPECT_EQ(frame.topLeft(), QPoint(100, 200)) << "placed by the logic, not centred";
}

}  // namespace
}  // namespace vk::qt
