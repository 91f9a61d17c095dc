#pragma once
#include "window/FrmMain.h"

namespace vk {

// The display refresh, the refresh timer's tick: rewrites the six value
// labels and both free bars from fresh figures, then reveals the
// before-freeing markers once after a run. A failing step is skipped and
// what it would have set keeps its value.
void tmrUpdateMemoryInformation_Timer(FrmMain& w);

void attachMemoryHandlers(FrmMain& w);

}  // namespace vk
