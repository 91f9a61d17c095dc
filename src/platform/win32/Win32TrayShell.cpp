#include "platform/win32/Win32TrayShell.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>

#include "platform/NotifyIcon.h"
#include "platform/win32/Win32Toolkit.h"

namespace vk::win32 {

// Our names are the SDK's values.
static_assert(ShellMessage::Add == NIM_ADD);
static_assert(ShellMessage::Delete == NIM_DELETE);
static_assert(NotifyFlag::Message == NIF_MESSAGE);
static_assert(NotifyFlag::Icon == NIF_ICON);
static_assert(NotifyFlag::Tip == NIF_TIP);
static_assert(MouseMessage::Move == WM_MOUSEMOVE);
static_assert(MouseMessage::LeftDown == WM_LBUTTONDOWN);
static_assert(MouseMessage::LeftUp == WM_LBUTTONUP);
static_assert(MouseMessage::LeftDoubleClick == WM_LBUTTONDBLCLK);
static_assert(MouseMessage::RightDown == WM_RBUTTONDOWN);
static_assert(MouseMessage::RightUp == WM_RBUTTONUP);
static_assert(MouseMessage::RightDoubleClick == WM_RBUTTONDBLCLK);

#ifndef _WIN64
// On 32-bit Windows the record's bytes are the SDK's first form.
static_assert(NOTIFYICONDATAA_V1_SIZE == kNotifyIconDataSize);
static_assert(offsetof(NOTIFYICONDATAA, cbSize) == 0);
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == 4);
static_assert(offsetof(NOTIFYICONDATAA, uID) == 8);
static_assert(offsetof(NOTIFYICONDATAA, uFlags) == 12);
static_assert(offsetof(NOTIFYICONDATAA, uCallbackMessage) == 16);
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == 20);
static_assert(offsetof(NOTIFYICONDATAA, szTip) == 24);
// The first form's tip is the first 64 of today's 128 characters.
static_assert(NOTIFYICONDATAA_V1_SIZE == offsetof(NOTIFYICONDATAA, szTip) + kTipLength);
#endif

namespace {

// A handle from the record's 32 bits: handles of windows and icons are
// meaningful in their low 32 bits on 64-bit Windows and are widened by sign
// extension, as the system does when it passes them between 32-bit and
// 64-bit programs.
template <class Handle>
Handle widen(std::uintptr_t low) {
    const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(low));
    return reinterpret_cast<Handle>(static_cast<std::intptr_t>(value));
}

}  // namespace

NOTIFYICONDATAA Win32TrayShell::nativeRecord(const NotifyIconBytes& record) {
    NOTIFYICONDATAA native{};
#ifndef _WIN64
    std::memcpy(&native, record.data(), record.size());
#else
    const NotifyIconData fields = decodeNotifyIcon(record);
    native.cbSize = NOTIFYICONDATAA_V1_SIZE;
    native.hWnd = widen<HWND>(fields.hWnd);
    native.uID = fields.uID;
    native.uFlags = fields.uFlags;
    native.uCallbackMessage = fields.uCallbackMessage;
    native.hIcon = widen<HICON>(fields.hIcon);
    // The tip's 64 bytes as they are: blank-filled, no zero inside.
    std::memcpy(native.szTip, record.data() + (record.size() - kTipLength), kTipLength);
#endif
    return native;
}

Win32TrayShell::Win32TrayShell(Win32Toolkit& toolkit, NotifyCall shell)
    : toolkit_(toolkit), shell_(shell) {
    toolkit_.onTaskbarCreated = [this] { addAgain(); };
    toolkit_.onSessionEndWhileBusy = [this] { deleteAll(); };
}

Win32TrayShell::~Win32TrayShell() {
    toolkit_.onTaskbarCreated = nullptr;
    toolkit_.onSessionEndWhileBusy = nullptr;
    deleteAll();
}

void Win32TrayShell::deleteAll() {
    for (const Key& key : present_) {
        NOTIFYICONDATAA native = nativeRecord(added_.at(key));
        shell_(NIM_DELETE, &native);
    }
    present_.clear();
    added_.clear();
}

bool Win32TrayShell::entryShown(const NotifyIconBytes& record) const {
    const NOTIFYICONDATAA native = nativeRecord(record);
    return present_.count(Key{native.hWnd, native.uID}) > 0;
}

std::int32_t Win32TrayShell::notifyIcon(std::uint32_t message, const NotifyIconBytes& record) {
    NOTIFYICONDATAA native = nativeRecord(record);
    // No window of ours to hear the entry's notifications: no entry. Wine's
    // shell would take it all the same.
    if (message == NIM_ADD && !toolkit_.findWindow(native.hWnd)) return FALSE;
    const BOOL result = shell_(message, &native);
    const Key key{native.hWnd, native.uID};
    if (message == NIM_ADD) {
        added_[key] = record;
        if (result) present_.insert(key);
    } else if (message == NIM_DELETE) {
        added_.erase(key);
        present_.erase(key);
    }
    return result;
}

void Win32TrayShell::addAgain() {
    for (const auto& [key, record] : added_) {
        NOTIFYICONDATAA native = nativeRecord(record);
        // The new shell has no entry: an add is what it takes.
        if (shell_(NIM_ADD, &native)) present_.insert(key);
    }
}

}  // namespace vk::win32
