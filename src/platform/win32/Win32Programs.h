#pragma once
// Finding and starting another program on Windows.
#include "platform/Programs.h"

namespace vk::win32 {

class Win32Programs : public Programs {
  public:
    // GetFileAttributesA: a folder is not a file, and neither is a hidden
    // or system file, nor a device.
    bool isOrdinaryFile(const std::string& path) override;
    // CreateProcessA of the file itself (no shell, no file associations),
    // shown normally and focused. Throws ServiceError when it cannot start.
    void start(const std::string& path) override;
};

}  // namespace vk::win32
