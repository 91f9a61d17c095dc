#pragma once
// The notification-area shell and its record. The record is the shell's
// published first form: 88 bytes, ANSI tip.
#include <array>
#include <cstdint>
#include <string>

namespace vk {

constexpr std::uint32_t NIM_ADD = 0;
constexpr std::uint32_t NIM_DELETE = 2;
constexpr std::uint32_t NIF_MESSAGE = 1;
constexpr std::uint32_t NIF_ICON = 2;
constexpr std::uint32_t NIF_TIP = 4;

constexpr std::size_t kNotifyIconDataSize = 88;
constexpr std::size_t kTipLength = 64;

// Mouse message numbers a tray notification carries.
constexpr std::uint32_t WM_MOUSEMOVE = 0x200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x201;
constexpr std::uint32_t WM_LBUTTONUP = 0x202;
constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x203;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x204;
constexpr std::uint32_t WM_RBUTTONUP = 0x205;
constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x206;

using NotifyIconBytes = std::array<std::uint8_t, kNotifyIconDataSize>;

// What a shell reads of a record: the fields that identify the entry and
// what it shows. Handles are the record's 32-bit values.
struct NotifyIconFields {
    std::uint32_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uint32_t hIcon = 0;
    std::string tip;  // the tip bytes up to a zero or their trailing blank fill
};
NotifyIconFields readNotifyIcon(const NotifyIconBytes& record);

class TrayShell {
  public:
    virtual ~TrayShell() = default;
    // Shell_NotifyIconA: add (NIM_ADD) or delete (NIM_DELETE) the entry the
    // record names by its window handle and id. Nonzero means success.
    virtual std::int32_t notifyIcon(std::uint32_t message, const NotifyIconBytes& record) = 0;
};

}  // namespace vk
