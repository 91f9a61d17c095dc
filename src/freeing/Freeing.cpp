#include "freeing/Freeing.h"

#include "freeing/Countdown.h"
#include "freeing/FreeingRun.h"
#include "freeing/Markers.h"
#include "freeing/Watch.h"

namespace vk {

void attachFreeingHandlers(FrmMain& w) {
    Form& f = w.form;
    f.on("mnuDefragMemory1", EventType::Click, [&w] { mnuDefragMemory1_Click(w); });
    f.on("mnuDefragMemory2", EventType::Click, [&w] { mnuDefragMemory2_Click(w); });
    f.on("mnuDefragMemory3", EventType::Click, [&w] { mnuDefragMemory3_Click(w); });
    f.on("tmrDefragMemory", EventType::Timer, [&w] { tmrDefragMemory_Timer(w); });
    f.on("tmrCheckIfMemoryFull", EventType::Timer, [&w] { tmrCheckIfMemoryFull_Timer(w); });
    f.on("tmrQuit", EventType::Timer, [&w] { tmrQuit_Timer(w); });
    f.on("tmrLoosePicOld", EventType::Timer, [&w] { tmrLoosePicOld_Timer(w); });
}

}  // namespace vk
