#include "platform/qt/QtTrayShell.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QMenu>
#include <QPointer>

#include "platform/qt/QtSessionBus.h"
#include "platform/qt/QtTrayInput.h"

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

QtTrayShell::QtTrayShell(QtToolkit& toolkit)
    : toolkit_(toolkit),
      input_(std::make_unique<QtTrayInput>([this](const QPoint& at) { onRightClick(at); })) {
    watchHost();
}
QtTrayShell::~QtTrayShell() = default;

// Both kinds of host announce their going without anyone asking: nothing
// here wakes the program while no host comes or goes.
void QtTrayShell::watchHost() {
    hostChanged_.setSingleShot(true);
    QObject::connect(&hostChanged_, &QTimer::timeout, [this] { onHostChanged(); });
    // XEmbed: the xcb platform reports when the tray manager's selection
    // changes owner. Its native interface has no public header; it is a
    // plain QObject subclass (single inheritance), so the pointer is the
    // QObject's, and the signal is found by name.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
        auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
        if (native) {
            QObject::connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), &hostChanged_,
                             SLOT(start()));
        }
    }
    // StatusNotifierItem: the watcher's name leaves the session bus. Only
    // where a bus is there to ask: asking for one that is not would start
    // a bus daemon for the session.
    if (sessionBusExpected()) {
        auto watcher = std::make_unique<QDBusServiceWatcher>(
            QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
            QDBusServiceWatcher::WatchForUnregistration);
        QObject::connect(watcher.get(), &QDBusServiceWatcher::serviceUnregistered, &hostChanged_,
                         [this] { hostChanged_.start(); });
        busWatcher_ = std::move(watcher);
    }
}

void QtTrayShell::onHostChanged() {
    // Asked afresh: a new host may already have taken the old one's place.
    if (QSystemTrayIcon::isSystemTrayAvailable()) return;
    for (const auto& [key, entry] : entries_) {
        if (const std::optional<QtToolkit::Target> target = receiver(*entry)) {
            target->binding->post(target->control, EventType::TrayLost);
        }
    }
}

std::int32_t QtTrayShell::notifyIcon(std::uint32_t message, const NotifyIconBytes& record) {
    const NotifyIconData f = decodeNotifyIcon(record);
    const Key key{static_cast<std::uint32_t>(f.hWnd), f.uID};
    if (message == ShellMessage::Delete) return entries_.erase(key) ? 1 : 0;
    if (message != ShellMessage::Add || entries_.count(key)) return 0;
    const std::optional<QtToolkit::Target> target =
        toolkit_.findHandle(static_cast<std::uint32_t>(f.hWnd));
    if (!target || !target->binding->form) return 0;  // no window to send the notifications to

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
    exportMenu(key, *entry, *target->binding->form);
    // Shown whenever a host is there: Qt puts the entry in as soon as a
    // notification area appears.
    entry->icon->show();
    entries_[key] = std::move(entry);
    return QSystemTrayIcon::isSystemTrayAvailable() ? 1 : 0;
}

// A StatusNotifierItem host shows the menu the entry exports; without one
// it shows its own menu or none, and the pop-up is out of reach. Qt exports
// a context menu only to such a host (the menu then has a platform menu);
// over XEmbed the menu stays the program's to open (QtTrayInput keeps the
// right press, with which Qt would open it, from Qt).
void QtTrayShell::exportMenu(const Key& key, Entry& entry, Form& form) {
    QMenu* menu = toolkit_.popupOnlyMenu(form);
    if (!menu) return;
    entry.icon->setContextMenu(menu);
    if (!menu->platformMenu()) return;
    QPointer<QMenu> guarded(menu);
    QObject::connect(menu, &QMenu::aboutToShow, entry.icon.get(), [this, key, guarded] {
        // The program's own pop-up announces itself the same way.
        if (guarded && !toolkit_.openingMenu(guarded)) onHostShowsMenu(key, *guarded);
    });
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

void QtTrayShell::onRightClick(const QPoint& global) {
    // The entry under the pointer is the one clicked.
    for (const auto& [key, entry] : entries_) {
        if (entry->icon->geometry().contains(global)) {
            onActivated(key, QSystemTrayIcon::Context);
            return;
        }
    }
}

std::optional<QtToolkit::Target> QtTrayShell::receiver(const Entry& entry) const {
    if (!(entry.fields.uFlags & NotifyFlag::Message)) return std::nullopt;
    // The picture box reports the shell's callback message as a mouse move.
    if (entry.fields.uCallbackMessage != MouseMessage::Move) return std::nullopt;
    return toolkit_.findHandle(static_cast<std::uint32_t>(entry.fields.hWnd));
}

EventArgs QtTrayShell::mouseMove(std::uint32_t mouseMessage) const {
    EventArgs args;
    args.message = mouseMessage;
    // Where the shell's message puts it: the message number as x, in pixels.
    args.x = mouseMessage * toolkit_.twipsPerPixel();
    return args;
}

void QtTrayShell::onActivated(const Key& key, QSystemTrayIcon::ActivationReason reason) {
    const auto it = entries_.find(key);
    if (it == entries_.end()) return;
    Entry& entry = *it->second;
    const std::uint32_t mouseMessage = entry.decoder.decode(
        activationOf(reason), toolkit_.loop().clock().nowMs(), QApplication::doubleClickInterval());
    if (mouseMessage == 0) return;
    const std::optional<QtToolkit::Target> target = receiver(entry);
    if (!target) return;
    // Delivered from the loop, not from inside the tray icon's own signal:
    // the handler may delete this very entry.
    target->binding->postLater(target->control, EventType::MouseMove, mouseMove(mouseMessage));
}

void QtTrayShell::onHostShowsMenu(const Key& key, QMenu& menu) {
    const auto it = entries_.find(key);
    if (it == entries_.end()) return;
    Entry& entry = *it->second;
    const std::uint32_t mouseMessage =
        entry.decoder.decode(TrayActivation::Context, toolkit_.loop().clock().nowMs(),
                             QApplication::doubleClickInterval());
    const std::optional<QtToolkit::Target> target = receiver(entry);
    if (mouseMessage == 0 || !target) return;
    toolkit_.menuShownByHost(&menu);
    // At once when no handler runs, so the host reads the captions the
    // logic sets; during a handler (a modal box) it waits like any click.
    target->binding->post(target->control, EventType::MouseMove, mouseMove(mouseMessage));
}

}  // namespace vk::qt
