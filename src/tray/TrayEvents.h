#pragma once
// The tray entry's mouse events and the paths that hide and show the main
// window. Shown or hidden is the window's Visible together with the caption
// of the pop-up entry mnuShow, which tells the toggle what to do next:
// "&Hide" hides, "&Show" shows. The two can disagree after a double-click on
// the window, which hides it without touching the caption.
#include <cstdint>

#include "platform/Form.h"
#include "window/FrmMain.h"

namespace vk {

inline constexpr const char* kCaptionHide = "&Hide";
inline constexpr const char* kCaptionShow = "&Show";

enum class TrayAction : std::uint8_t { None, Toggle, PopupMenu };

// What a tray notification asks for, from the mouse message it carries (the
// low word of the notification, as the shell sends it): a left double-click
// toggles, a right-button release opens the pop-up menu, anything else does
// nothing. Decoded from the message itself, so it works at every screen DPI.
TrayAction decodeTrayNotification(std::uint32_t message);

// TrayIcon's mouse-move event, which carries the tray notifications.
void TrayIcon_MouseMove(FrmMain& w, const EventArgs& e);
// The toggle behind "&Hide"/"&Show": decides by the caption, closes the
// About dialog either way.
void mnuShow_Click(FrmMain& w);
// File "&Hide to system tray": the toggle's hide branch, whatever the caption.
void mnuToTray_Click(FrmMain& w);
// A double-click on the window's background, a frame or a value label hides
// the window and nothing else.
void Form_DblClick(FrmMain& w);
// The user brought the minimised window back from the taskbar or the window
// list. After a hide that minimised it (there was no tray entry) this is the
// way back, so it counts as showing the window.
void Form_Restore(FrmMain& w);

// The tray host went away. A window hidden to the tray would be out of
// reach now: it comes back as hiding without an entry leaves it, minimised
// on the taskbar and in the window list, and the entry returns by itself
// with the next host.
void TrayIcon_TrayLost(FrmMain& w);

// Every hide and show goes through these two. Without a tray entry to come
// back from, hiding minimises the window instead: it stays on the taskbar
// and in the window list. Showing brings a minimised window back as well.
void hideMainWindow(FrmMain& w);
void showMainWindow(FrmMain& w);

}  // namespace vk
