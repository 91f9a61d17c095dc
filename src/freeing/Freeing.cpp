#include "freeing/Freeing.h"

namespace vk {

void attachFreeingHandlers(FrmMain&) {}

}  // namespace vk
