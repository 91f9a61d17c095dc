#include "platform/NotifyIcon.h"

#include <algorithm>

namespace vk {
namespace {

constexpr std::size_t kTipOffset = 24;

void put32(NotifyIconBytes& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t get32(const NotifyIconBytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The first form has room for 32-bit handles only, so a 64-bit handle keeps
// its low 32 bits. That loses nothing: 64-bit Windows keeps the handles of
// windows and icons meaningful in their low 32 bits (so 32-bit and 64-bit
// programs can pass them to each other), and on other platforms the handles
// are only identifiers that the shell compares to tell entries apart.
std::uint32_t handle32(std::uintptr_t handle) {
    return static_cast<std::uint32_t>(handle & 0xFFFFFFFFu);
}

}  // namespace

std::string fixedLengthTip(std::string_view text) {
    std::string tip(text.substr(0, kTipLength));
    tip.resize(kTipLength, ' ');
    return tip;
}

NotifyIconBytes encodeNotifyIcon(const NotifyIconData& record) {
    NotifyIconBytes bytes{};
    put32(bytes, 0, record.cbSize);
    put32(bytes, 4, handle32(record.hWnd));
    put32(bytes, 8, record.uID);
    put32(bytes, 12, record.uFlags);
    put32(bytes, 16, record.uCallbackMessage);
    put32(bytes, 20, handle32(record.hIcon));
    // Plain ASCII text, the same bytes in every ANSI code page; whatever the
    // record holds is blank-filled or cut to the field.
    const std::string tip = fixedLengthTip(record.szTip);
    std::copy(tip.begin(), tip.end(), bytes.begin() + kTipOffset);
    return bytes;
}

NotifyIconData decodeNotifyIcon(const NotifyIconBytes& bytes) {
    NotifyIconData record;
    record.cbSize = get32(bytes, 0);
    record.hWnd = get32(bytes, 4);
    record.uID = get32(bytes, 8);
    record.uFlags = get32(bytes, 12);
    record.uCallbackMessage = get32(bytes, 16);
    record.hIcon = get32(bytes, 20);
    record.szTip.assign(bytes.begin() + kTipOffset, bytes.end());
    return record;
}

std::string shownTip(const NotifyIconData& record) {
    // The field is fixed-length: a zero ends it early, blanks fill it up.
    std::string tip = record.szTip.substr(0, record.szTip.find('\0'));
    tip.erase(tip.find_last_not_of(' ') + 1);
    return tip;
}

}  // namespace vk
