#pragma once
// The notification-area shell on Qt: the record's window handle names the
// control that receives the notifications, its icon handle the picture and
// its tip the tooltip. Each entry is a QSystemTrayIcon; what the host
// reports comes back to that control as a mouse-move event carrying the
// mouse message, as the shell's callback message would.
#include <QPoint>
#include <QSystemTrayIcon>
#include <map>
#include <memory>
#include <utility>

#include "platform/TrayActivation.h"
#include "platform/TrayShell.h"

namespace vk::qt {

class QtToolkit;

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
    class RightDoubleClicks;
    using Key = std::pair<std::uint32_t, std::uint32_t>;
    void onActivated(const Key& key, QSystemTrayIcon::ActivationReason reason);
    void onRightDoubleClick(const QPoint& global);

    QtToolkit& toolkit_;
    std::map<Key, std::unique_ptr<Entry>> entries_;
    std::unique_ptr<RightDoubleClicks> rightDoubleClicks_;
};

}  // namespace vk::qt
