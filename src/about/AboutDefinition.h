#pragma once
#include "platform/ControlDef.h"

namespace vk {

// The About dialog frmAbout as created, before its load handler runs. The
// controls are declared in keyboard focus order (cmdOK, picIcon, cmdSysInfo;
// the labels take no focus), so a backend that chains focus by creation order
// gets it right and gives cmdOK the focus on opening.
const WindowDef& aboutWindowDefinition();

}  // namespace vk
