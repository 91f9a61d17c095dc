#pragma once
// The main window's one tray record and the two shell calls made with it.
// The window keeps the record field by field; at each call it is encoded in
// the shell's 88-byte layout and handed over whole.
#include "platform/TrayShell.h"
#include "window/FrmMain.h"

namespace vk {

// The record's id for the program's one entry.
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr const char* kTrayTip = "Velkrom";

// Fills the whole record and adds the entry; the shell's answer goes to
// TrayCallResult. Skips a failing statement and goes on.
void ShowProgramInTray(FrmMain& w);

// Removes the entry with the record as the add left it (the unload handler's
// delete); the shell's answer goes to TrayCallResult. Skips a failure.
void RemoveProgramFromTray(FrmMain& w);

// Whether the entry is in a notification area now, so that a hidden window
// can be brought back through it. False when the shell cannot tell.
bool TrayEntryShown(FrmMain& w);

}  // namespace vk
