#pragma once
// The main window's one tray record and the two shell calls made with it.
// The window keeps the record field by field; at each call it is converted to
// the shell's 88-byte layout and handed over whole.
#include <string>
#include <string_view>

#include "app/FrmMain.h"
#include "platform/TrayShell.h"

namespace vk {

// The record's id for the program's one entry.
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr const char* kTrayTip = "Velkrom";

// The tip as the window keeps it: a fixed-length text of exactly 64
// characters, filled with blanks on the right or cut at 64.
std::string fixedLengthTip(std::string_view text);

// The record in the shell's layout: little-endian 32-bit fields at offsets 0
// to 20, the tip as 64 ANSI bytes at offset 24 with no terminating zero.
NotifyIconBytes notifyIconBytes(const NotifyIconData& record);

// Fills the whole record and adds the entry; the shell's answer goes to
// TrayCallResult. Skips a failing statement and goes on.
void ShowProgramInTray(FrmMain& w);

// Removes the entry with the record as the add left it (the unload handler's
// delete); the shell's answer goes to TrayCallResult. Skips a failure.
void RemoveProgramFromTray(FrmMain& w);

}  // namespace vk
