#pragma once
#include "platform/ControlDef.h"

namespace vk {

// The main window frmMain as created, before any handler has run.
const WindowDef& mainWindowDefinition();

}  // namespace vk
