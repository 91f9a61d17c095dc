#pragma once
// The four memory byte counts from the text of /proc/meminfo.
#include <string_view>

#include "platform/MemorySource.h"

namespace vk::lnx {

// total physical = MemTotal
// free physical  = MemAvailable, or MemFree + Buffers + Cached on kernels
//                  that do not report it (before 3.14)
// total pagefile = MemTotal + SwapTotal
// free pagefile  = free physical + SwapFree
// all in bytes (the file counts kB of 1024 bytes). CommitLimit is not used:
// it only binds in overcommit mode 2 and reads as half the RAM on a machine
// without swap.
//
// Only whole lines count: a last line without its newline was cut off and
// is ignored. Reading stops at the line that completes the fields above.
// Throws ServiceError when a needed field is missing, repeated, not
// "<digits> kB", or when a count or sum does not fit 64 bits.
MemoryStatus parseMeminfo(std::string_view text);

}  // namespace vk::lnx
