#pragma once
// The memory figures on Windows: one GlobalMemoryStatusEx per query. Its
// counts are 64-bit; GlobalMemoryStatus clamps them at 2 or 4 GB.
#include "platform/MemorySource.h"

namespace vk::win32 {

class Win32Memory : public MemorySource {
  public:
    // Throws ServiceError when the figures cannot be read.
    void query(MemoryStatus& record) override;
};

}  // namespace vk::win32
