#pragma once
// The window toolkit on Qt 6 Widgets: builds the widgets of any window from
// its definition, attaches a peer to each control and turns what the user
// does into dispatcher events.
#include <QIcon>
#include <QPointer>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/FormBinding.h"
#include "platform/qt/QtMenus.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtPopupOpener.h"

class QWidget;

namespace vk::qt {

class WindowWidget;

class QtToolkit : public Toolkit {
  public:
    explicit QtToolkit(LoopDriver& loop);
    ~QtToolkit() override;
    QtToolkit(const QtToolkit&) = delete;
    QtToolkit& operator=(const QtToolkit&) = delete;

    void createWindow(Form& form) override;
    void destroyWindow(Form& form) override;
    void popupMenu(Form& form, const std::string& menu) override;
    void quit() override;

    // The program has ended (quit may come before the event loop runs).
    bool quitRequested() const { return quit_; }
    double twipsPerPixel() const { return scale_.twipsPerPixel(); }
    LoopDriver& loop() { return loop_; }

    // What a native handle names: a control of a loaded window.
    struct Target {
        BindingPtr binding;
        std::string control;
        QPointer<QWidget> window;
    };
    std::optional<Target> findHandle(std::uint32_t handle) const;
    // The icon a handle names; a null icon when none.
    QIcon iconForHandle(std::uintptr_t handle) const;

    // The window's pop-up menu: its one menu that is never in the bar;
    // nullptr when it has none or several.
    QMenu* popupOnlyMenu(const Form& form) const;
    // A tray host shows this menu itself: the logic's next pop-up request
    // for it (the right-button path, which also sets its captions) leaves
    // the showing to the host.
    void menuShownByHost(QMenu* menu);
    // Whether popupMenu is opening this menu right now.
    bool openingMenu(const QMenu* menu) const { return popups_.opening(menu); }

    // The widgets of a loaded window, for tests: the window, a control's
    // outer widget, a menu entry's action and menu.
    WindowWidget* window(const Form& form) const;
    QWidget* widget(const Form& form, const std::string& control) const;
    QAction* action(const Form& form, const std::string& menu) const;
    QMenu* menu(const Form& form, const std::string& menu) const;

  private:
    struct Loaded;
    Loaded* loaded(const Form& form) const;
    std::uint32_t newHandle();
    void build(Form& form, Loaded& loaded);

    LoopDriver& loop_;
    PixelScale scale_;
    QIcon programIcon_;
    std::uint32_t programIconHandle_ = 0;
    FrameMargins margins_;
    std::map<const Form*, std::unique_ptr<Loaded>> windows_;
    std::map<std::uint32_t, Target> handles_;
    // Widgets of destroyed windows waiting for their deferred deletion; the
    // loop may end first, and then they go with the toolkit.
    std::vector<QPointer<QObject>> retired_;
    std::vector<QPointer<QMenu>> shownByHost_;
    QtPopupOpener popups_;
    std::uint32_t nextHandle_ = 0x1000;
    bool quit_ = false;
};

}  // namespace vk::qt
