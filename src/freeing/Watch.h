#pragma once
// The free-when-full watch: while "Free memory &when full" is checked, every
// second tick of the watch timer tests free physical memory and starts a
// free-only run when it is below 5 percent of the total.
#include "window/FrmMain.h"

namespace vk {

inline constexpr const char* kStatusOutOfMemory = "Out of memory, freeing...";

// Whether a run is due for these figures (whole megabytes): when 5 percent of
// the total, computed as total / 100 * 5 in double precision, is strictly
// greater than the free figure. For whole figures: 20 x free < total.
bool freeingDue(double totalMB, double freeMB);

// The toggle: checks or unchecks the entry, restarts the tick count at "0"
// and arms or disarms the watch timer. No error trap.
void mnuDefragMemory3_Click(FrmMain& w);

// The watch timer's tick. Skips a failing statement; a failing test counts
// as passed, so a failure to read the figures starts a run.
void tmrCheckIfMemoryFull_Timer(FrmMain& w);

}  // namespace vk
