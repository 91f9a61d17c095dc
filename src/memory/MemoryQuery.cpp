#include "memory/MemoryQuery.h"

namespace vk {
// Filled in with the figure procedures.
}  // namespace vk
