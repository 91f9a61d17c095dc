#include "app/Startup.h"

#include "platform/Skip.h"

namespace vk {

void Form_Load(FrmMain&) {}

void Form_Unload(FrmMain&) {}

void mnuExit_Click(FrmMain& w) { w.unload(); }
void mnuExit2_Click(FrmMain& w) { w.unload(); }

void attachStartupHandlers(FrmMain& w) {
    w.onUnload = [&w] { Form_Unload(w); };
    w.form.on("mnuExit", EventType::Click, [&w] { mnuExit_Click(w); });
    w.form.on("mnuExit2", EventType::Click, [&w] { mnuExit2_Click(w); });
    // The close box, the end of the desktop session and the termination
    // signals all arrive as a close request and unload the window.
    w.form.on("frmMain", EventType::CloseRequest, [&w] { w.unload(); });
}

}  // namespace vk
