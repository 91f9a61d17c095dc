#include "platform/qt/QtPopupOpener.h"

#include <QGuiApplication>
#include <QMenu>
#include <QWindow>
#include <utility>

namespace vk::qt {

QtPopupOpener::QtPopupOpener() {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    QObject::connect(&settle_, &QTimer::timeout, [this] { openWaiting(); });
}

QtPopupOpener::~QtPopupOpener() {
    QObject::disconnect(focusMoved_);
}

void QtPopupOpener::open(QMenu& menu, const QPoint& at) {
    const QWindow* focus = QGuiApplication::focusWindow();
    if (!focus || focus->isVisible()) {
        waiting_.clear();
        settle_.stop();
        show(menu, at);
        return;
    }
    waiting_ = &menu;
    at_ = at;
    // Queued: the pop-up opens once Qt has finished moving the focus.
    if (!focusMoved_) {
        focusMoved_ = QObject::connect(
            qGuiApp, &QGuiApplication::focusWindowChanged, &settle_, [this] { openWaiting(); },
            Qt::QueuedConnection);
    }
    if (!settle_.isActive()) settle_.start();
}

void QtPopupOpener::openWaiting() {
    QObject::disconnect(focusMoved_);
    focusMoved_ = {};
    settle_.stop();
    const QPointer<QMenu> menu = std::exchange(waiting_, nullptr);
    if (menu) show(*menu, at_);
}

void QtPopupOpener::show(QMenu& menu, const QPoint& at) {
    opening_ = &menu;
    menu.popup(at);
    opening_ = nullptr;
}

}  // namespace vk::qt
