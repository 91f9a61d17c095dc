#pragma once
// The main window at run time: its form, its controls resolved once by name,
// and the window-level variables its handlers share. Handlers live in the
// subsystem folders and take this as their window.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Form.h"
#include "platform/NotifyIcon.h"
#include "platform/Services.h"

namespace vk {

class MemoryQuery;
class AboutDialog;

class FrmMain {
  public:
    FrmMain(Services& services, MemoryQuery& memoryQuery, AboutDialog& about);
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    Services& sys;
    MemoryQuery& memoryQuery;
    AboutDialog& frmAbout;
    Form form;

    // Window-level variables. (There is no twips-per-megabyte scale: the
    // free bars are sized in proportion to the free share directly.)
    bool ShowPicOld = false;
    NotifyIconData TrayIconData;
    std::int32_t TrayCallResult = 0;

    // Controls, resolved once.
    Control& window;
    Control& Frame1;
    Control& Frame2;
    Control& lblTotalPhysicalShow;
    Control& lblUsedPhysicalShow;
    Control& lblFreePhysicalShow;
    Control& lblTotalPagefileShow;
    Control& lblUsedPagefileShow;
    Control& lblFreePagefileShow;
    Control& picUsedPhysical;
    Control& picAvailablePhysical;
    Control& picOldPhysical;
    Control& picUsedPagefile;
    Control& picAvailablePagefile;
    Control& picOldPagefile;
    Control& lblStatus;
    Control& TrayIcon;
    Control& tmrUpdateMemoryInformation;
    Control& tmrDefragMemory;
    Control& tmrCheckIfMemoryFull;
    Control& tmrQuit;
    Control& tmrLoosePicOld;
    Control& mnuFile;
    Control& mnuDefragMemory3;
    Control& mnuHelp;
    Control& mnuPopUp;
    Control& mnuShow;

    // Unloads the window: runs what the program attached to the unload
    // (its unload handler and the end of the program). Unloading twice does
    // nothing.
    void unload();
    bool unloaded() const { return unloaded_; }
    // Set by the program's wiring.
    std::function<void()> onUnload;

  private:
    bool unloaded_ = false;
};

}  // namespace vk
