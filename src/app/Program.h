#pragma once
// The running program: the memory module, the About dialog and the main
// window, wired to the platform's services. Creating and loading the main
// window starts everything; unloading it ends everything.
#include "about/AboutDialog.h"
#include "memory/MemoryQuery.h"
#include "platform/Services.h"
#include "window/FrmMain.h"

namespace vk {

class Program {
  public:
    explicit Program(Services& services);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Creates the main window's widgets, attaches every handler and the
    // timers, runs the load handler and shows the window unless the load
    // handler hid it.
    void start();

    FrmMain& main() { return frmMain_; }
    MemoryQuery& memoryQuery() { return memoryQuery_; }
    AboutDialog& about() { return about_; }

  private:
    Services& sys_;
    MemoryQuery memoryQuery_;
    AboutDialog about_;
    FrmMain frmMain_;
};

}  // namespace vk
