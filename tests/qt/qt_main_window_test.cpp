// The real main window on Qt, loaded through the program with the machine's
// own memory figures.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QRegularExpression>
#include <csignal>
#include <fstream>
#include <sstream>

#include "QtFixture.h"
#include "app/Program.h"
#include "memory/MemoryQuery.h"
#include "platform/Numbers.h"
#include "platform/linux/Meminfo.h"
#include "platform/qt/QtEndRequests.h"
#include "platform/qt/QtIcon.h"
#include "platform/qt/QtWidgets.h"
#include "tray/TrayRecord.h"

namespace vk::qt {
namespace {

struct QtMainWindowTest : ::testing::Test {
    void SetUp() override {
        program = std::make_unique<Program>(qt.services);
        program->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    }
    void TearDown() override { program.reset(); }

    Form& form() { return program->main().form; }
    WindowWidget* window() { return qt.toolkit.window(form()); }
    QWidget* widget(const std::string& name) { return qt.toolkit.widget(form(), name); }
    QString text(const std::string& label) {
        return static_cast<LabelWidget*>(widget(label))->text();
    }
    bool refreshed() {
        return qt.dispatcher.deliveredTicks(form()["tmrUpdateMemoryInformation"]) >= 2;
    }

    test::QtPlatform qt;
    std::unique_ptr<Program> program;
};

TEST_F(QtMainWindowTest, LaysOutInPixelsAtNinetySixDotsPerInch) {
    ASSERT_EQ(qt.toolkit.twipsPerPixel(), 15);
    EXPECT_EQ(window()->client()->size(), QSize(272, 226));
    struct Case {
        const char* control;
        QRect pixels;
    };
    const Case cases[] = {
        {"Frame1", {8, 8, 257, 89}},
        {"Frame2", {8, 104, 257, 97}},
        {"lblTotalPhysical", {8, 16, 33, 17}},
        {"lblTotalPhysicalShow", {40, 16, 207, 17}},
        {"lblFreePagefileShow", {40, 48, 207, 17}},
        {"picUsedPhysical", {8, 64, 241, 17}},
        {"picUsedPagefile", {8, 72, 241, 17}},
        {"lblStatus", {8, 208, 273, 17}},
        {"TrayIcon", {240, 192, 25, 25}},
    };
    for (const Case& c : cases) EXPECT_EQ(widget(c.control)->geometry(), c.pixels) << c.control;
    for (const char* bar : {"picUsedPhysical", "picUsedPagefile"}) {
        EXPECT_EQ(static_cast<PictureBoxWidget*>(widget(bar))->client()->size(), QSize(237, 13))
            << bar;
    }
}

TEST_F(QtMainWindowTest, TheStatusLineIsClippedAtTheClientAreasRightEdge) {
    EXPECT_EQ(widget("lblStatus")->visibleRegion().boundingRect().width(), 272 - 8);
}

TEST_F(QtMainWindowTest, MarkersLieAboveTheFreeBarsInsideTheUsedBars) {
    for (const char* what : {"Physical", "Pagefile"}) {
        const std::string w = what;
        auto* used = static_cast<PictureBoxWidget*>(widget("picUsed" + w));
        QWidget* free = widget("picAvailable" + w);
        QWidget* marker = widget("picOld" + w);
        EXPECT_EQ(free->parentWidget(), used->client());
        EXPECT_EQ(marker->parentWidget(), used->client());
        const QObjectList& stack = used->client()->children();
        EXPECT_GT(stack.indexOf(marker), stack.indexOf(free)) << "later siblings are on top";
        EXPECT_TRUE(marker->isHidden());
    }
    EXPECT_FALSE(widget("TrayIcon")->isVisible());
}

TEST_F(QtMainWindowTest, HasMinimiseAndCloseButNoMaximiseButtonAndIsCentred) {
    const Qt::WindowFlags flags = window()->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(window()->windowTitle(), "Velkrom");
    const QRect screen = window()->screen()->availableGeometry();
    const QRect frame = window()->frameGeometry();
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1);
}

TEST_F(QtMainWindowTest, CarriesTheProgramIconWhichTheIcoFileHoldsToo) {
    const QImage shown = window()->windowIcon().pixmap(32, 32).toImage();
    const QImage drawn = toQImage(programIcon()).convertToFormat(shown.format());
    EXPECT_EQ(shown, drawn);
    // An independent reader (Qt's .ico plugin) sees the same picture.
    const std::vector<std::uint8_t> ico = icoFileBytes(programIcon());
    const QImage read = QImage::fromData(ico.data(), static_cast<int>(ico.size()), "ICO");
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32),
              drawn.convertToFormat(QImage::Format_RGB32));
}

TEST_F(QtMainWindowTest, TheMenuBarShowsFileAndHelpWithTheirShortcuts) {
    QStringList titles;
    for (QAction* a : window()->existingMenuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Help"}));
    QStringList file;
    for (QAction* a : qt.toolkit.menu(form(), "mnuFile")->actions()) {
        file << (a->isSeparator() ? "-" : a->text() + "\t" + a->shortcut().toString());
    }
    EXPECT_EQ(file, (QStringList{"&Free memory\tCtrl+F", "Free memory and &Quit\tCtrl+Q",
                                 "Free memory &when full\tCtrl+U", "-",
                                 "&Hide to system tray\tCtrl+T", "-", "E&xit\tCtrl+X"}));
    EXPECT_EQ(qt.toolkit.action(form(), "mnuAbout")->shortcut().toString(), "F1");
}

TEST_F(QtMainWindowTest, TheLabelsShowTheMachinesFiguresInMegabytes) {
    ASSERT_TRUE(test::waitFor([&] { return refreshed(); }));
    std::ifstream file("/proc/meminfo");
    std::stringstream text;
    text << file.rdbuf();
    // The totals do not move: the figures of one reading of the file, by
    // the program's rounding rule, are what the labels show.
    struct Reading : MemorySource {
        MemoryStatus status;
        void query(MemoryStatus& record) override { record = status; }
    } reading;
    reading.status = lnx::parseMeminfo(text.str());
    MemoryQuery figures(reading);
    EXPECT_EQ(this->text("lblTotalPhysicalShow").toStdString(),
              numberText(figures.GetTotalPhysical()) + " MB");
    EXPECT_EQ(this->text("lblTotalPagefileShow").toStdString(),
              numberText(figures.GetTotalPagefile()) + " MB");
    const QRegularExpression megabytes("^-?[0-9]+ MB$");
    for (const char* label : {"lblUsedPhysicalShow", "lblFreePhysicalShow", "lblUsedPagefileShow",
                              "lblFreePagefileShow"}) {
        const QString shown = this->text(label);
        EXPECT_TRUE(megabytes.match(shown).hasMatch()) << label << ": " << shown.toStdString();
    }
    EXPECT_EQ(this->text("lblStatus"), "Ready");
}

TEST_F(QtMainWindowTest, ADoubleClickOnAFigureHidesTheWindowOneOnACaptionDoesNot) {
    for (const char* inert : {"lblFreePhysical", "picUsedPhysical", "lblStatus"}) {
        QTest::mouseDClick(widget(inert), Qt::LeftButton, {}, QPoint(4, 4));
        EXPECT_TRUE(window()->isVisible() && !window()->isMinimized()) << inert;
    }
    // Where no tray host holds the entry (offscreen there is none) hiding
    // minimises the window instead.
    const bool trayShown = TrayEntryShown(program->main());
    QTest::mouseDClick(widget("lblFreePhysicalShow"), Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(window()->isVisible(), !trayShown);
    EXPECT_EQ(form().window().visible(), !trayShown);
    EXPECT_EQ(window()->isMinimized(), !trayShown);
}

TEST_F(QtMainWindowTest, TheWatchEntryShortcutTogglesItsMarkUnlessTheWindowIsDisabled) {
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    QAction* watch = qt.toolkit.action(form(), "mnuDefragMemory3");
    QTest::keyClick(window(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(watch->isChecked());
    form().window().setEnabled(false);
    QTest::keyClick(window(), Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(watch->isChecked()) << "a disabled window takes no shortcut";
}

TEST_F(QtMainWindowTest, TheCloseBoxUnloadsTheProgram) {
    window()->close();
    EXPECT_TRUE(program->main().unloaded());
    EXPECT_TRUE(qt.toolkit.quitRequested());
    const auto hWnd = static_cast<std::uint32_t>(program->main().TrayIconData.hWnd);
    EXPECT_EQ(qt.tray.entry(hWnd, kTrayIconId), nullptr) << "the tray entry went with it";
}

TEST_F(QtMainWindowTest, TerminationSignalsUnloadThroughTheNormalPath) {
    for (int signal : QtEndRequests::kSignals) {
        test::QtPlatform fresh;
        auto other = std::make_unique<Program>(fresh.services);
        QtEndRequests requests(fresh.loop, fresh.boxes, other->main().form);
        other->start();
        const auto hWnd = static_cast<std::uint32_t>(other->main().TrayIconData.hWnd);
        ASSERT_NE(fresh.tray.entry(hWnd, kTrayIconId), nullptr);
        std::raise(signal);
        ASSERT_TRUE(test::waitFor([&] { return other->main().unloaded(); })) << signal;
        EXPECT_TRUE(fresh.toolkit.quitRequested());
        EXPECT_EQ(fresh.tray.entry(hWnd, kTrayIconId), nullptr);
    }
}

}  // namespace
}  // namespace vk::qt
