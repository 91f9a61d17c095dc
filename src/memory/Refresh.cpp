#include "memory/Refresh.h"

namespace vk {

void tmrUpdateMemoryInformation_Timer(FrmMain&) {}

void attachMemoryHandlers(FrmMain& w) {
    w.form.on("tmrUpdateMemoryInformation", EventType::Timer,
              [&w] { tmrUpdateMemoryInformation_Timer(w); });
}

}  // namespace vk
