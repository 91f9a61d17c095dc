#include "window/FrmMain.h"

#include "window/MainWindowDefinition.h"

namespace vk {

FrmMain::FrmMain(Services& services, MemoryQuery& query, AboutDialog& about)
    : sys(services),
      memoryQuery(query),
      frmAbout(about),
      form(mainWindowDefinition()),
      window(form.window()),
      Frame1(form["Frame1"]),
      Frame2(form["Frame2"]),
      lblTotalPhysicalShow(form["lblTotalPhysicalShow"]),
      lblUsedPhysicalShow(form["lblUsedPhysicalShow"]),
      lblFreePhysicalShow(form["lblFreePhysicalShow"]),
      lblTotalPagefileShow(form["lblTotalPagefileShow"]),
      lblUsedPagefileShow(form["lblUsedPagefileShow"]),
      lblFreePagefileShow(form["lblFreePagefileShow"]),
      picUsedPhysical(form["picUsedPhysical"]),
      picAvailablePhysical(form["picAvailablePhysical"]),
      picOldPhysical(form["picOldPhysical"]),
      picUsedPagefile(form["picUsedPagefile"]),
      picAvailablePagefile(form["picAvailablePagefile"]),
      picOldPagefile(form["picOldPagefile"]),
      lblStatus(form["lblStatus"]),
      TrayIcon(form["TrayIcon"]),
      tmrUpdateMemoryInformation(form["tmrUpdateMemoryInformation"]),
      tmrDefragMemory(form["tmrDefragMemory"]),
      tmrCheckIfMemoryFull(form["tmrCheckIfMemoryFull"]),
      tmrQuit(form["tmrQuit"]),
      tmrLoosePicOld(form["tmrLoosePicOld"]),
      mnuFile(form["mnuFile"]),
      mnuDefragMemory3(form["mnuDefragMemory3"]),
      mnuHelp(form["mnuHelp"]),
      mnuPopUp(form["mnuPopUp"]),
      mnuShow(form["mnuShow"]) {}

void FrmMain::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (onUnload) onUnload();
}

}  // namespace vk
