#include "tray/TrayEvents.h"

#include "about/AboutDialog.h"
#include "platform/Skip.h"
#include "tray/TrayRecord.h"

namespace vk {

TrayAction decodeTrayNotification(std::uint32_t message) {
    // The shell puts the mouse message in the low word; newer shells use the
    // high word for the entry's id.
    switch (message & 0xFFFFu) {
        case MouseMessage::LeftDoubleClick:
            return TrayAction::Toggle;
        case MouseMessage::RightUp:
            return TrayAction::PopupMenu;
        default:
            return TrayAction::None;
    }
}

void TrayIcon_MouseMove(FrmMain& w, const EventArgs& e) {
    TrayAction action = TrayAction::None;
    step([&] { action = decodeTrayNotification(e.message); });
    if (action == TrayAction::Toggle) {
        step([&] { mnuShow_Click(w); });
    } else if (action == TrayAction::PopupMenu) {
        // The menu offers what fits the window's real visibility, even when
        // a double-click on the window left the caption behind.
        step([&] { w.mnuShow.setCaption(w.window.visible() ? kCaptionHide : kCaptionShow); });
        step([&] { w.sys.toolkit.popupMenu(w.form, "mnuPopUp"); });
    }
}

void mnuShow_Click(FrmMain& w) {
    const std::string caption = w.mnuShow.caption();
    if (caption == kCaptionShow) {
        step([&] { w.frmAbout.unload(); });
        step([&] { w.mnuShow.setCaption(kCaptionHide); });
        step([&] { showMainWindow(w); });
    } else if (caption == kCaptionHide) {
        step([&] { w.frmAbout.unload(); });
        step([&] { w.mnuShow.setCaption(kCaptionShow); });
        step([&] { hideMainWindow(w); });
    }
}

void mnuToTray_Click(FrmMain& w) {
    step([&] { w.mnuShow.setCaption(kCaptionHide); });
    step([&] { mnuShow_Click(w); });
}

void Form_DblClick(FrmMain& w) {
    step([&] { hideMainWindow(w); });
}

void Form_Restore(FrmMain& w) {
    step([&] { w.mnuShow.setCaption(kCaptionHide); });
    step([&] { w.window.setVisible(true); });
}

void TrayIcon_TrayLost(FrmMain& w) {
    if (w.window.visible() || TrayEntryShown(w)) return;
    step([&] { w.window.setWindowState(WindowState::Minimized); });
    step([&] { w.window.setVisible(true); });
}

void hideMainWindow(FrmMain& w) {
    if (TrayEntryShown(w)) {
        w.window.setVisible(false);
    } else {
        w.window.setWindowState(WindowState::Minimized);
    }
}

void showMainWindow(FrmMain& w) {
    // Restored first, so the window comes up in front rather than on the
    // taskbar.
    step([&] { w.window.setWindowState(WindowState::Normal); });
    w.window.setVisible(true);
}

}  // namespace vk
