#include "platform/qt/QtTrayShell.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "platform/qt/QtToolkit.h"

namespace vk::qt {
namespace {

TrayActivation activationOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return TrayActivation::Single;
        case QSystemTrayIcon::DoubleClick:
            return TrayActivation::Double;
        case QSystemTrayIcon::Context:
            return TrayActivation::Context;
        default:
            return TrayActivation::Other;
    }
}

}  // namespace

struct QtTrayShell::Entry {
    NotifyIconData fields;
    std::unique_ptr<QSystemTrayIcon> icon;
    TrayActivationDecoder decoder;
};

// Qt makes a press at the spot of the press before, with the same button and
// within the double-click interval, a double-click, and drops the press. The
// XEmbed entry reports only left double-clicks, so a right click that comes
// that soon after another (say, right after Esc closed the pop-up) would
// reach nobody. The shell reports every right click, so such a right
// double-click is taken as the context request it would otherwise be.
class QtTrayShell::RightDoubleClicks : public QObject {
  public:
    explicit RightDoubleClicks(QtTrayShell& shell) : shell_(shell) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~RightDoubleClicks() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The entry's own widget, as Qt names it; its window gets the
        // event first and is left out, so each double-click counts once.
        if (event->type() == QEvent::MouseButtonDblClick &&
            watched->objectName() == QLatin1String("QSystemTrayIconSys")) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                shell_.onRightDoubleClick(mouse->globalPosition().toPoint());
            }
        }
        return false;
    }

  private:
    QtTrayShell& shell_;
};

QtTrayShell::QtTrayShell(QtToolkit& toolkit)
    : toolkit_(toolkit), rightDoubleClicks_(std::make_unique<RightDoubleClicks>(*this)) {}
QtTrayShell::~QtTrayShell() = default;

std::int32_t QtTrayShell::notifyIcon(std::uint32_t message, const NotifyIconBytes& record) {
    const NotifyIconData f = decodeNotifyIcon(record);
    const Key key{static_cast<std::uint32_t>(f.hWnd), f.uID};
    if (message == ShellMessage::Delete) return entries_.erase(key) ? 1 : 0;
    if (message != ShellMessage::Add || entries_.count(key)) return 0;
    const std::optional<QtToolkit::Target> target =
        toolkit_.findHandle(static_cast<std::uint32_t>(f.hWnd));
    if (!target) return 0;  // no window to send the notifications to

    auto entry = std::make_unique<Entry>();
    entry->fields = f;
    entry->icon = std::make_unique<QSystemTrayIcon>();
    if (f.uFlags & NotifyFlag::Icon) {
        QIcon icon = toolkit_.iconForHandle(f.hIcon);
        if (icon.isNull() && target->window) icon = target->window->windowIcon();
        entry->icon->setIcon(icon);
    }
    // Latin-1 stands in for the ANSI code page of the record's tip.
    if (f.uFlags & NotifyFlag::Tip) entry->icon->setToolTip(QString::fromLatin1(shownTip(f)));
    QObject::connect(
        entry->icon.get(), &QSystemTrayIcon::activated, entry->icon.get(),
        [this, key](QSystemTrayIcon::ActivationReason reason) { onActivated(key, reason); });
    // Shown whenever a host is there: Qt puts the entry in as soon as a
    // notification area appears.
    entry->icon->show();
    entries_[key] = std::move(entry);
    return QSystemTrayIcon::isSystemTrayAvailable() ? 1 : 0;
}

bool QtTrayShell::entryShown(const NotifyIconBytes& record) const {
    const NotifyIconData f = decodeNotifyIcon(record);
    const auto it = entries_.find({static_cast<std::uint32_t>(f.hWnd), f.uID});
    // Asked afresh each time: the host may have come or gone since.
    return it != entries_.end() && it->second->icon->isVisible() &&
           QSystemTrayIcon::isSystemTrayAvailable();
}

QSystemTrayIcon* QtTrayShell::entry(std::uint32_t hWnd, std::uint32_t uID) const {
    const auto it = entries_.find({hWnd, uID});
    return it == entries_.end() ? nullptr : it->second->icon.get();
}

void QtTrayShell::activate(std::uint32_t hWnd, std::uint32_t uID,
                           QSystemTrayIcon::ActivationReason reason) {
    onActivated({hWnd, uID}, reason);
}

void QtTrayShell::onRightDoubleClick(const QPoint& global) {
    // The entry under the pointer is the one clicked.
    for (const auto& [key, entry] : entries_) {
        if (entry->icon->geometry().contains(global)) {
            onActivated(key, QSystemTrayIcon::Context);
            return;
        }
    }
}

void QtTrayShell::onActivated(const Key& key, QSystemTrayIcon::ActivationReason reason) {
    const auto it = entries_.find(key);
    if (it == entries_.end()) return;
    Entry& entry = *it->second;
    const std::uint32_t mouseMessage = entry.decoder.decode(
        activationOf(reason), toolkit_.loop().clock().nowMs(), QApplication::doubleClickInterval());
    if (mouseMessage == 0 || !(entry.fields.uFlags & NotifyFlag::Message)) return;
    // The picture box reports the shell's callback message as a mouse move.
    if (entry.fields.uCallbackMessage != MouseMessage::Move) return;
    const std::optional<QtToolkit::Target> target =
        toolkit_.findHandle(static_cast<std::uint32_t>(entry.fields.hWnd));
    if (!target) return;
    EventArgs args;
    args.message = mouseMessage;
    // Where the shell's message puts it: the message number as x, in pixels.
    args.x = mouseMessage * toolkit_.twipsPerPixel();
    // Delivered from the loop, not from inside the tray icon's own signal:
    // the handler may delete this very entry.
    target->binding->postLater(target->control, EventType::MouseMove, args);
}

}  // namespace vk::qt
