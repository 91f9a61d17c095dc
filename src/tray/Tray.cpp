#include "tray/Tray.h"

#include "tray/TrayEvents.h"

namespace vk {
namespace {

// The frames and value labels whose double-click handlers only forward to
// the window's own: a double-click anywhere on the figures hides the window.
// Bars, caption labels and the status line have no double-click handler.
constexpr const char* kDblClickForwarders[] = {
    "Frame1",
    "Frame2",
    "lblTotalPhysicalShow",
    "lblUsedPhysicalShow",
    "lblFreePhysicalShow",
    "lblTotalPagefileShow",
    "lblUsedPagefileShow",
    "lblFreePagefileShow",
};

}  // namespace

void attachTrayHandlers(FrmMain& w) {
    w.form.on("TrayIcon", EventType::MouseMove,
              Handler([&w](const EventArgs& e) { TrayIcon_MouseMove(w, e); }));
    w.form.on("mnuShow", EventType::Click, [&w] { mnuShow_Click(w); });
    w.form.on("mnuToTray", EventType::Click, [&w] { mnuToTray_Click(w); });
    w.form.on(w.form.name(), EventType::DblClick, [&w] { Form_DblClick(w); });
    w.form.on(w.form.name(), EventType::Restore, [&w] { Form_Restore(w); });
    w.form.on("TrayIcon", EventType::TrayLost, [&w] { TrayIcon_TrayLost(w); });
    for (const char* control : kDblClickForwarders) {
        w.form.on(control, EventType::DblClick, [&w] { Form_DblClick(w); });
    }
}

}  // namespace vk
