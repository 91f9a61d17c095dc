#pragma once
// The modal message box: MessageBoxA with one OK button, owned by the window
// the user works in. Its own loop runs meanwhile; the dispatcher holds what
// arrives (timer ticks, clicks, tray notifications) and delivers it after OK.
#include <windows.h>

#include "platform/MessageBox.h"

namespace vk::win32 {

class Win32Toolkit;

class Win32MessageBoxes : public MessageBoxes {
  public:
    explicit Win32MessageBoxes(Win32Toolkit& toolkit) : toolkit_(toolkit) {}
    void show(const std::string& text, const std::string& title, BoxIcon icon) override;
    // Closes the box that waits as if OK was pressed; false when none waits.
    bool dismissOpen() override;
    bool open() const { return openOwner_ != nullptr; }

    // The window that owns a box shown now.
    HWND owner() const;

  private:
    Win32Toolkit& toolkit_;
    HWND openOwner_ = nullptr;  // the owner of the box that waits now
};

}  // namespace vk::win32
