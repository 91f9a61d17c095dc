#pragma once
// The notification-area record in the shell's published first form: 88
// bytes, ANSI tip. One struct for the window that keeps it and for every
// shell that reads it, and one encoder and decoder of the byte layout.
// The names are our own so this header sits beside the SDK's; the Win32
// platform ties each value to the SDK's with a static_assert.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vk {

namespace ShellMessage {
inline constexpr std::uint32_t Add = 0;
inline constexpr std::uint32_t Delete = 2;
}  // namespace ShellMessage

namespace NotifyFlag {
inline constexpr std::uint32_t Message = 1;
inline constexpr std::uint32_t Icon = 2;
inline constexpr std::uint32_t Tip = 4;
}  // namespace NotifyFlag

// The mouse message numbers a tray notification carries.
namespace MouseMessage {
inline constexpr std::uint32_t Move = 0x200;
inline constexpr std::uint32_t LeftDown = 0x201;
inline constexpr std::uint32_t LeftUp = 0x202;
inline constexpr std::uint32_t LeftDoubleClick = 0x203;
inline constexpr std::uint32_t RightDown = 0x204;
inline constexpr std::uint32_t RightUp = 0x205;
inline constexpr std::uint32_t RightDoubleClick = 0x206;
}  // namespace MouseMessage

inline constexpr std::size_t kNotifyIconDataSize = 88;
inline constexpr std::size_t kTipLength = 64;

using NotifyIconBytes = std::array<std::uint8_t, kNotifyIconDataSize>;

// The record field by field. Handles are kept at native width; the byte
// layout has room for their low 32 bits.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    std::uintptr_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uintptr_t hIcon = 0;
    std::string szTip = std::string(kTipLength, ' ');  // fixed length, blank-filled
};

// The tip as the record keeps it: exactly 64 characters, filled with blanks
// on the right or cut at 64.
std::string fixedLengthTip(std::string_view text);

// Little-endian 32-bit fields at offsets 0 to 20 (handles keep their low 32
// bits), the tip as 64 bytes at offset 24 with no terminating zero.
NotifyIconBytes encodeNotifyIcon(const NotifyIconData& record);
// The fields back from the bytes; the tip as its 64 bytes.
NotifyIconData decodeNotifyIcon(const NotifyIconBytes& bytes);
// The tip a shell shows: up to a zero, trailing blank fill removed.
std::string shownTip(const NotifyIconData& record);

}  // namespace vk
