#include "tray/TrayEvents.h"

#include "about/AboutDialog.h"
#include "platform/Skip.h"

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
        step([&] { w.window.setVisible(true); });
    } else if (caption == kCaptionHide) {
        step([&] { w.frmAbout.unload(); });
        step([&] { w.mnuShow.setCaption(kCaptionShow); });
        step([&] { w.window.setVisible(false); });
    }
}

void mnuToTray_Click(FrmMain& w) {
    step([&] { w.mnuShow.setCaption(kCaptionHide); });
    step([&] { mnuShow_Click(w); });
}

void Form_DblClick(FrmMain& w) {
    step([&] { w.window.setVisible(false); });
}

}  // namespace vk
