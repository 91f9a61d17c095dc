#include "platform/TrayShell.h"

namespace vk {
namespace {

constexpr std::size_t kTipOffset = 24;

std::uint32_t read32(const NotifyIconBytes& record, std::size_t at) {
    return static_cast<std::uint32_t>(record[at]) |
           static_cast<std::uint32_t>(record[at + 1]) << 8 |
           static_cast<std::uint32_t>(record[at + 2]) << 16 |
           static_cast<std::uint32_t>(record[at + 3]) << 24;
}

}  // namespace

NotifyIconFields readNotifyIcon(const NotifyIconBytes& record) {
    NotifyIconFields f;
    f.hWnd = read32(record, 4);
    f.uID = read32(record, 8);
    f.uFlags = read32(record, 12);
    f.uCallbackMessage = read32(record, 16);
    f.hIcon = read32(record, 20);
    // The tip field is fixed-length: a zero ends it early, blanks fill it up.
    std::string tip(record.begin() + kTipOffset, record.end());
    tip = tip.substr(0, tip.find('\0'));
    tip.erase(tip.find_last_not_of(' ') + 1);
    f.tip = tip;
    return f;
}

}  // namespace vk
