#include "tray/Tray.h"

namespace vk {

void attachTrayHandlers(FrmMain&) {}

}  // namespace vk
