#pragma once
// The notification-area shell: adds and deletes the entry a record names.
#include <cstdint>

#include "platform/NotifyIcon.h"

namespace vk {

class TrayShell {
  public:
    virtual ~TrayShell() = default;
    // Shell_NotifyIconA: add (ShellMessage::Add) or delete
    // (ShellMessage::Delete) the entry the record names by its window handle
    // and id. Nonzero means success.
    virtual std::int32_t notifyIcon(std::uint32_t message, const NotifyIconBytes& record) = 0;
    // Whether the entry the record names is in a notification area now, so
    // the user can reach the program through it. A tray host may appear or
    // go at any time (the shell puts an added entry back in a new one).
    virtual bool entryShown(const NotifyIconBytes& record) const = 0;
};

}  // namespace vk
