#include "platform/win32/Win32MessageBoxes.h"

#include "platform/win32/Win32Toolkit.h"

namespace vk::win32 {

HWND Win32MessageBoxes::owner() const {
    // The active window of ours (the About dialog when a start from it
    // failed), else the program's main window, shown or not.
    if (const HWND active = GetActiveWindow(); active && toolkit_.findWindow(active)) {
        return active;
    }
    return toolkit_.mainWindow();
}

void Win32MessageBoxes::show(const std::string& text, const std::string& title, BoxIcon icon) {
    const UINT style = MB_OK | (icon == BoxIcon::Critical ? MB_ICONSTOP : MB_ICONINFORMATION);
    MessageBoxA(owner(), text.c_str(), title.c_str(), style);
}

}  // namespace vk::win32
