#include "freeing/Watch.h"

#include "freeing/FreeingRun.h"
#include "freeing/TimerTags.h"
#include "memory/MemoryQuery.h"
#include "platform/Skip.h"

namespace vk {

bool freeingDue(double totalMB, double freeMB) {
    return totalMB / 100 * 5 > freeMB;
}

void mnuDefragMemory3_Click(FrmMain& w) {
    if (!w.mnuDefragMemory3.checked()) {
        w.mnuDefragMemory3.setChecked(true);
        w.tmrCheckIfMemoryFull.setTag("0");
        w.tmrCheckIfMemoryFull.setEnabled(true);
    } else {
        w.mnuDefragMemory3.setChecked(false);
        w.tmrCheckIfMemoryFull.setTag("0");
        w.tmrCheckIfMemoryFull.setEnabled(false);
    }
}

void tmrCheckIfMemoryFull_Timer(FrmMain& w) {
    Control& timer = w.tmrCheckIfMemoryFull;
    step([&] { setTagNumber(timer, tagNumber(timer) + 1); });
    // Only every second tick tests, so the memory is looked at every 2 seconds.
    if (!stepTest([&] { return tagNumber(timer) == 2; })) return;
    step([&] { timer.setTag("0"); });
    const bool due = stepTest([&] {
        const double total = w.memoryQuery.GetTotalPhysical();  // queried first
        const double free = w.memoryQuery.GetFreePhysical();
        return freeingDue(total, free);
    });
    if (!due) return;
    startFreeingRun(w, kStatusOutOfMemory, kModeFreeOnly, StarterErrors::SkipAndGoOn);
}

}  // namespace vk
