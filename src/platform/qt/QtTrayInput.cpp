#include "platform/qt/QtTrayInput.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace vk::qt {
namespace {

// The widget Qt makes for each XEmbed entry, as Qt names it.
bool isEntry(const QObject& object) {
    return object.objectName() == QLatin1String("QSystemTrayIconSys");
}

}  // namespace

QtTrayInput::QtTrayInput(std::function<void(const QPoint&)> rightClick)
    : rightClick_(std::move(rightClick)) {
    QCoreApplication::instance()->installEventFilter(this);
}

QtTrayInput::~QtTrayInput() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool QtTrayInput::eventFilter(QObject* watched, QEvent* event) {
    // Widgets only: a mouse event reaches a window first and then its
    // widget, and each must count once.
    if (!watched->isWidgetType()) return false;
    auto& widget = static_cast<QWidget&>(*watched);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease: {
            const auto& mouse = static_cast<const QMouseEvent&>(*event);
            return isEntry(widget) ? onEntryMouse(widget, mouse) : onOtherMouse(mouse);
        }
        case QEvent::Show:
            onWindowShown(widget);
            return false;
        case QEvent::Hide:
            onWindowHidden(widget);
            return false;
        default:
            return false;
    }
}

// The right button belongs to this filter; Qt sees nothing of it, so it
// neither reports a press as the context request nor opens a menu itself.
bool QtTrayInput::onEntryMouse(QWidget& entry, const QMouseEvent& mouse) {
    if (mouse.button() != Qt::RightButton) {
        if (mouse.type() == QEvent::MouseButtonPress) opening_ = false;
        return false;
    }
    switch (mouse.type()) {
        case QEvent::MouseButtonPress:
            opening_ = false;
            rightDown_ = true;
            rightPressMs_ = mouse.timestamp();
            break;
        case QEvent::MouseButtonDblClick:
            // Qt takes a press soon after another at the same spot for the
            // second of a double-click. Right after the click that opened
            // the pop-up, it is; once a pop-up has closed (Esc), it is a
            // new click.
            if (opening_) {
                swallowRelease_ = Qt::RightButton;
            } else {
                rightDown_ = true;
                rightPressMs_ = mouse.timestamp();
            }
            break;
        case QEvent::MouseButtonRelease:
            if (swallowRelease_ == Qt::RightButton) {
                swallowRelease_ = Qt::NoButton;
            } else if (std::exchange(rightDown_, false) &&
                       entry.rect().contains(mouse.position().toPoint())) {
                opening_ = true;
                rightClick_(mouse.globalPosition().toPoint());
            }
            break;
        default:
            break;
    }
    return true;
}

// Near the screen's edge Qt moves the pop-up under the pointer, where the
// second press of a right double-click would land on an entry and its
// release would choose it. Qt pairs presses two at a time: when the click
// that opened the pop-up was itself the second of a pair (a right click, Esc
// and a quick right double-click), the next press comes as a plain press,
// so the time since the opening press decides as well.
bool QtTrayInput::onOtherMouse(const QMouseEvent& mouse) {
    switch (mouse.type()) {
        case QEvent::MouseButtonPress:
            if (opening_ && mouse.button() == Qt::RightButton &&
                mouse.timestamp() - rightPressMs_ <
                    static_cast<quint64>(
                        QGuiApplication::styleHints()->mouseDoubleClickInterval())) {
                swallowRelease_ = mouse.button();
                return true;
            }
            opening_ = false;
            return false;
        case QEvent::MouseButtonDblClick:
            if (!opening_) return false;
            swallowRelease_ = mouse.button();
            return true;
        case QEvent::MouseButtonRelease:
            if (swallowRelease_ == Qt::NoButton || mouse.button() != swallowRelease_) return false;
            swallowRelease_ = Qt::NoButton;
            return true;
        default:
            return false;
    }
}

void QtTrayInput::onWindowShown(QWidget& window) {
    if (!window.isWindow()) return;
    if (window.isModal()) {
        modals_.emplace_back(&window);
        passModalBy();
    } else if (isEntry(window) && !modals_.empty()) {
        passModalBy();  // an entry that came back while a box is up
    }
}

void QtTrayInput::onWindowHidden(QWidget& window) {
    if (!window.isWindow()) return;
    if (window.windowType() == Qt::Popup) opening_ = false;
    const auto before = modals_.size();
    std::erase_if(modals_, [&](const QPointer<QWidget>& modal) {
        return modal.isNull() || modal == &window;
    });
    if (modals_.size() != before) passModalBy();
}

// Qt blocks every window but the modal one and the windows it is the
// (transient) parent of. Making the entries such children while a box is up
// keeps their input coming; everything else stays blocked.
void QtTrayInput::passModalBy() {
    std::erase_if(modals_, [](const QPointer<QWidget>& modal) { return modal.isNull(); });
    QWindow* parent = modals_.empty() ? nullptr : modals_.back()->windowHandle();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!isEntry(*widget) || !widget->windowHandle()) continue;
        widget->windowHandle()->setTransientParent(parent);
    }
}

}  // namespace vk::qt
