#include "tray/TrayRecord.h"

#include <algorithm>

#include "platform/Skip.h"

namespace vk {
namespace {

void put32(NotifyIconBytes& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The record's first form has room for 32-bit handles only, so a 64-bit
// handle keeps its low 32 bits. That loses nothing: 64-bit Windows keeps the
// handles of windows and icons meaningful in their low 32 bits (so 32-bit and
// 64-bit programs can pass them to each other), and on other platforms the
// handles are only identifiers that the tray shell compares to tell entries
// apart, of which the program has one.
std::uint32_t handle32(std::uintptr_t handle) {
    return static_cast<std::uint32_t>(handle & 0xFFFFFFFFu);
}

constexpr std::size_t kTipOffset = 24;

}  // namespace

std::string fixedLengthTip(std::string_view text) {
    std::string tip(text.substr(0, kTipLength));
    tip.resize(kTipLength, ' ');
    return tip;
}

NotifyIconBytes notifyIconBytes(const NotifyIconData& record) {
    NotifyIconBytes bytes{};
    put32(bytes, 0, record.cbSize);
    put32(bytes, 4, handle32(record.hWnd));
    put32(bytes, 8, record.uID);
    put32(bytes, 12, record.uFlags);
    put32(bytes, 16, record.uCallbackMessage);
    put32(bytes, 20, handle32(record.hIcon));
    // The tip is plain ASCII text, the same bytes in every ANSI code page. It
    // is fixed-length: whatever the window holds is blank-filled or cut to
    // 64 bytes, with no terminating zero inside the field.
    const std::string tip = fixedLengthTip(record.szTip);
    std::copy(tip.begin(), tip.end(), bytes.begin() + kTipOffset);
    return bytes;
}

void ShowProgramInTray(FrmMain& w) {
    NotifyIconData& t = w.TrayIconData;
    step([&] { t.cbSize = kNotifyIconDataSize; });
    step([&] { t.hWnd = w.TrayIcon.handle(); });
    step([&] { t.uID = kTrayIconId; });
    step([&] { t.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP; });
    // Mouse events on the entry come back as this message to TrayIcon.
    step([&] { t.uCallbackMessage = WM_MOUSEMOVE; });
    step([&] { w.TrayIcon.setPicture(w.window.icon()); });
    step([&] { t.hIcon = w.TrayIcon.picture(); });
    step([&] { t.szTip = fixedLengthTip(kTrayTip); });
    step([&] { w.TrayCallResult = w.sys.tray.notifyIcon(NIM_ADD, notifyIconBytes(t)); });
}

void RemoveProgramFromTray(FrmMain& w) {
    step([&] {
        w.TrayCallResult = w.sys.tray.notifyIcon(NIM_DELETE, notifyIconBytes(w.TrayIconData));
    });
}

}  // namespace vk
