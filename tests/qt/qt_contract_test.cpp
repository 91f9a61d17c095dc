// The toolkit contract on Qt's real widgets and event loop.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>
#include <stdexcept>

#include "QtFixture.h"
#include "ToolkitContract.h"
#include "platform/qt/QtWidgets.h"

namespace vk::contract {
namespace {

class QtHarness : public ToolkitHarness {
  public:
    Dispatcher& dispatcher() override { return qt.dispatcher; }
    Toolkit& toolkit() override { return qt.toolkit; }
    MessageBoxes& boxes() override { return qt.boxes; }
    TrayShell& tray() override { return qt.tray; }
    double twipsPerPixel() override { return qt.toolkit.twipsPerPixel(); }

    Pixels pixels(const Form& form, const std::string& control) override {
        const QWidget& w = widget(form, control);
        return {w.x(), w.y(), w.width(), w.height()};
    }
    Pixels insideArea(const Form& form, const std::string& control) override {
        QWidget& w = widget(form, control);
        auto* box = dynamic_cast<qt::PictureBoxWidget*>(&w);
        if (!box) throw std::logic_error(control + " holds no children");
        const QRect inside = box->client() == box ? box->rect() : box->client()->geometry();
        return {inside.x(), inside.y(), inside.width(), inside.height()};
    }
    Pixels pixelsFromContainerCorner(const Form& form, const std::string& control) override {
        const QWidget& w = widget(form, control);
        const QPoint corner = w.mapTo(&widget(form, form[control].def().parent), QPoint(0, 0));
        return {corner.x(), corner.y(), w.width(), w.height()};
    }
    Pixels outerFrame(const Form& form) override {
        const QRect frame = qt.toolkit.window(form)->frameGeometry();
        return {frame.x(), frame.y(), frame.width(), frame.height()};
    }
    std::string shownText(const Form& form, const std::string& control) override {
        switch (form[control].kind()) {
            case ControlKind::Window:
                return qt.toolkit.window(form)->windowTitle().toStdString();
            case ControlKind::Label:
            case ControlKind::Frame:
                return static_cast<const qt::TextWidget&>(widget(form, control))
                    .text()
                    .toStdString();
            case ControlKind::Button:
                return static_cast<const QPushButton&>(widget(form, control)).text().toStdString();
            default:
                throw std::logic_error(control + " shows no text");
        }
    }
    bool shown(const Form& form, const std::string& control) override {
        return !widget(form, control).isHidden();
    }
    bool enabledOnScreen(const Form& form, const std::string& control) override {
        return widget(form, control).isEnabled();
    }
    bool checkedOnScreen(const Form& form, const std::string& menu) override {
        return qt.toolkit.action(form, menu)->isChecked();
    }
    bool windowGone(const Form& form) override {
        return qt.toolkit.window(form) == nullptr && shownWindow_.isNull();
    }
    std::optional<ShownTrayEntry> trayEntry(std::uint32_t hWnd, std::uint32_t id) override {
        const QSystemTrayIcon* entry = qt.tray.entry(hWnd, id);
        if (!entry || !entry->isVisible()) return std::nullopt;
        return ShownTrayEntry{entry->toolTip().toStdString(), !entry->icon().isNull()};
    }

    void showActive(Form& form) override {
        form.window().peer()->setVisible(true);
        qt::WindowWidget* window = qt.toolkit.window(form);
        shownWindow_ = window;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    void clickButton(Form& form, const std::string& control) override {
        static_cast<QPushButton&>(widget(form, control)).click();
    }
    void chooseMenuEntry(Form& form, const std::string& menu) override {
        qt.toolkit.action(form, menu)->trigger();
    }
    void choosePopupEntry(Form& form, const std::string& popup, const std::string& entry) override {
        qt.toolkit.popupMenu(form, popup);
        QMenu* menu = qt.toolkit.menu(form, popup);
        ASSERT_TRUE(qt::test::waitFor([&] { return menu->isVisible(); })) << "no pop-up";
        EXPECT_EQ(QApplication::activePopupWidget(), menu);
        qt.toolkit.action(form, entry)->trigger();
        menu->hide();
    }
    void doubleClick(Form& form, const std::string& control, int x, int y) override {
        // Qt routes real input to the widget under the pointer, as here.
        QWidget* area =
            control == form.name() ? qt.toolkit.window(form)->client() : &widget(form, control);
        const QPoint at =
            form[control].kind() == ControlKind::PictureBox
                ? static_cast<qt::PictureBoxWidget*>(area)->client()->mapTo(area, QPoint(x, y))
                : QPoint(x, y);
        QWidget* under = area->childAt(at);
        QWidget* target = under ? under : area;
        QTest::mouseDClick(target, Qt::LeftButton, {}, target->mapFrom(area, at));
    }
    void pressCloseBox(Form& form) override { qt.toolkit.window(form)->close(); }
    void restoreByUser(Form& form) override {
        // As the window manager does: the state changes from outside the
        // toolkit's own calls. The user restores a window the taskbar
        // shows: what the window system has to say of its show comes first.
        QCoreApplication::processEvents();
        qt::WindowWidget* window = qt.toolkit.window(form);
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    }
    void activateTrayEntry(std::uint32_t hWnd, std::uint32_t id, TrayActivation how) override {
        // As the tray host reports it.
        qt.tray.activate(hWnd, id,
                         how == TrayActivation::Context  ? QSystemTrayIcon::Context
                         : how == TrayActivation::Double ? QSystemTrayIcon::DoubleClick
                                                         : QSystemTrayIcon::Trigger);
    }
    void pressDialogKey(Form& form, bool enter) override {
        QTest::keyClick(qt.toolkit.window(form), enter ? Qt::Key_Return : Qt::Key_Escape);
    }
    void pressShortcut(Form& form, const std::string& keys) override {
        QTest::keySequence(qt.toolkit.window(form), QKeySequence(QString::fromStdString(keys)));
    }
    void answerNextBox(int afterMs, std::function<void()> meanwhile) override {
        QTimer::singleShot(afterMs, [meanwhile = std::move(meanwhile)] {
            if (meanwhile) meanwhile();
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->button(QMessageBox::Ok)->click();
            }
        });
    }

    bool boxOpen() override {
        return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
    }

    bool runUntil(const std::function<bool()>& done, int timeoutMs) override {
        return qt::test::waitFor(done, timeoutMs);
    }
    std::int64_t nowMs() override { return qt.clock.nowMs(); }
    void postLater(Form& form, const std::string& control, EventType type) override {
        qt.loop.postLater(form, control, type);
    }

  private:
    QWidget& widget(const Form& form, const std::string& control) {
        QWidget* w = form[control].kind() == ControlKind::Window ? qt.toolkit.window(form)
                                                                 : qt.toolkit.widget(form, control);
        if (!w) throw std::logic_error("no widget for " + control);
        return *w;
    }

    qt::QtPlatform qt;
    QPointer<QWidget> shownWindow_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, ToolkitContract, QtHarness);

}  // namespace
}  // namespace vk::contract
