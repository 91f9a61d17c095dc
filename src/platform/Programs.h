#pragma once
// Finding and starting another program.
#include <string>

namespace vk {

class Programs {
  public:
    virtual ~Programs() = default;
    // An existing ordinary file (hidden and system files do not count).
    virtual bool isOrdinaryFile(const std::string& path) = 0;
    // Starts the program at `path` with a normal, focused window, directly
    // and without a shell. Throws ServiceError when it cannot be started.
    virtual void start(const std::string& path) = 0;
};

}  // namespace vk
