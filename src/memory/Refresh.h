#pragma once
#include "app/FrmMain.h"

namespace vk {

// The display refresh: the refresh timer's tick.
void tmrUpdateMemoryInformation_Timer(FrmMain& w);

void attachMemoryHandlers(FrmMain& w);

}  // namespace vk
