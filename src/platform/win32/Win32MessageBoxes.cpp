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
    const HWND boxOwner = owner();
    const HWND outer = openOwner_;
    openOwner_ = boxOwner ? boxOwner : GetDesktopWindow();
    MessageBoxA(boxOwner, text.c_str(), title.c_str(), style);
    openOwner_ = outer;
}

namespace {

struct BoxSearch {
    HWND owner;
    HWND box = nullptr;
};

// A message box is a dialog of the system's dialog class owned by the window
// it was shown for.
BOOL CALLBACK findBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    char name[16] = {};
    if (GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, "#32770") == 0 &&
        (search->owner == GetDesktopWindow() || GetWindow(window, GW_OWNER) == search->owner)) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool Win32MessageBoxes::dismissOpen() {
    if (!openOwner_) return false;
    BoxSearch search{openOwner_};
    EnumThreadWindows(GetCurrentThreadId(), findBox, reinterpret_cast<LPARAM>(&search));
    if (!search.box) return false;
    // The box's own loop takes it as the OK button and returns.
    PostMessageA(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    openOwner_ = nullptr;
    return true;
}

}  // namespace vk::win32
