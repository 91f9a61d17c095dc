#pragma once
#include "window/FrmMain.h"

namespace vk {

// Attaches the tray notification handler and the hide and show paths.
void attachTrayHandlers(FrmMain& w);

}  // namespace vk
