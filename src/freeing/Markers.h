#pragma once
// The before-freeing markers: a darker copy of each free bar, taken just
// before a run and shown by the next refresh after it, so the user sees what
// the run gained. The refresh reveals them; this hides and places them.
#include "window/FrmMain.h"

namespace vk {

// Hides both markers and gives each the width and place of its free bar as
// it is now. Every run starter calls it first. Skips a failing statement.
void PlaceOldMarkers(FrmMain& w);

// The hide timer's tick, 5 seconds after a successful run: a one-shot that
// hides both markers. Skips a failing statement.
void tmrLoosePicOld_Timer(FrmMain& w);

}  // namespace vk
