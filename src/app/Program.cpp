#include "app/Program.h"

#include "app/Startup.h"
#include "freeing/Freeing.h"
#include "memory/Refresh.h"
#include "platform/Skip.h"
#include "tray/Tray.h"

namespace vk {

Program::Program(Services& services)
    : sys_(services),
      memoryQuery_(services.memory),
      about_(services),
      frmMain_(services, memoryQuery_, about_) {}

// The main window's form detaches itself from the dispatcher as it goes.
Program::~Program() {
    about_.unload();
}

void Program::start() {
    FrmMain& w = frmMain_;
    sys_.toolkit.createWindow(w.form);
    attachStartupHandlers(w);
    attachMemoryHandlers(w);
    attachFreeingHandlers(w);
    attachTrayHandlers(w);
    sys_.dispatcher.attach(w.form);  // the refresh timer starts running here
    sys_.dispatcher.invoke([&w] { Form_Load(w); });
    if (w.unloaded()) return;
    // The window is shown once loaded, unless the load handler hid it. A
    // window that refuses to show leaves the program running from its tray
    // entry rather than ending the start.
    step([&w] {
        if (ControlPeer* peer = w.window.peer(); peer && w.window.visible()) {
            peer->setVisible(true);
        }
    });
}

}  // namespace vk
