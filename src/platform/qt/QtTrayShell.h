#pragma once
// The notification-area shell on Qt: the record's window handle names the
// control that receives the notifications, its icon handle the picture and
// its tip the tooltip. Each entry is a QSystemTrayIcon; what the host
// reports comes back to that control as a mouse-move event carrying the
// mouse message, as the shell's callback message would.
//
// Qt speaks to one of two kinds of host. An XEmbed tray hands the entry the
// mouse itself (QtTrayInput turns it into clicks), and the right-button
// path of the logic opens the pop-up. A StatusNotifierItem host shows the
// entry's menu itself: the entry exports the window's pop-up menu, and when
// the host is about to show it the entry reports the right-button release,
// so the logic sets the captions as it would before its own pop-up.
#include <QPoint>
#include <QSystemTrayIcon>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "platform/TrayActivation.h"
#include "platform/TrayShell.h"
#include "platform/qt/QtToolkit.h"

namespace vk::qt {

class QtTrayInput;

class QtTrayShell : public TrayShell {
  public:
    explicit QtTrayShell(QtToolkit& toolkit);
    ~QtTrayShell() override;
    std::int32_t notifyIcon(std::uint32_t message, const NotifyIconBytes& record) override;
    // An entry is kept while no tray host is there, and Qt puts it into the
    // next host that appears; it is shown while a host holds it.
    bool entryShown(const NotifyIconBytes& record) const override;

    // The entry a record names, for tests; nullptr when there is none.
    QSystemTrayIcon* entry(std::uint32_t hWnd, std::uint32_t uID) const;
    // Feeds an activation as the host would report it.
    void activate(std::uint32_t hWnd, std::uint32_t uID, QSystemTrayIcon::ActivationReason reason);

  private:
    struct Entry;
    using Key = std::pair<std::uint32_t, std::uint32_t>;
    void exportMenu(const Key& key, Entry& entry, Form& form);
    void onActivated(const Key& key, QSystemTrayIcon::ActivationReason reason);
    void onRightClick(const QPoint& global);
    void onHostShowsMenu(const Key& key, QMenu& menu);
    // Where the entry's mouse messages go; none when its record asks for none.
    std::optional<QtToolkit::Target> receiver(const Entry& entry) const;
    EventArgs mouseMove(std::uint32_t mouseMessage) const;
    // Hears the tray host come and go, and tells each entry's window when
    // there is none any more.
    void watchHost();
    void onHostChanged();

    QtToolkit& toolkit_;
    std::map<Key, std::unique_ptr<Entry>> entries_;
    std::unique_ptr<QtTrayInput> input_;
    QTimer hostChanged_;  // started by the host watchers, checked from the loop
    std::unique_ptr<QObject> busWatcher_;
};

}  // namespace vk::qt
