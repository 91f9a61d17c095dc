#pragma once
#include "window/FrmMain.h"

namespace vk {

// Attaches the freeing run, the watch, the countdown and the marker timeout.
void attachFreeingHandlers(FrmMain& w);

}  // namespace vk
