#pragma once
// Opens the program's pop-up menus. Qt on X11 learns that the program has
// lost the keyboard focus up to 0.4 s after its focused window went away:
// it waits for the focus to come to another of its windows first. A pop-up
// opened in between is closed when that news arrives, and the user sees it
// flash (a right click on the tray entry right after Ctrl+T hid the window).
// So while a hidden window still holds Qt's focus, the pop-up waits until
// the focus moves, at most kSettleMs.
#include <QMetaObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

class QMenu;

namespace vk::qt {

class QtPopupOpener {
  public:
    // Past Qt's own 0.4 s: a window system that never moves the focus off a
    // hidden window still gets its pop-up.
    static constexpr int kSettleMs = 600;

    QtPopupOpener();
    ~QtPopupOpener();
    QtPopupOpener(const QtPopupOpener&) = delete;
    QtPopupOpener& operator=(const QtPopupOpener&) = delete;

    // Opens the menu at the point, now or once the focus has settled; a
    // later request replaces one still waiting.
    void open(QMenu& menu, const QPoint& at);
    bool waiting() const { return !waiting_.isNull(); }
    // Whether the menu is being opened right now (during its aboutToShow).
    bool opening(const QMenu* menu) const { return menu && menu == opening_; }

  private:
    void openWaiting();
    void show(QMenu& menu, const QPoint& at);

    QPointer<QMenu> waiting_;
    QPoint at_;
    QTimer settle_;
    QMetaObject::Connection focusMoved_;
    const QMenu* opening_ = nullptr;
};

}  // namespace vk::qt
