#pragma once
// Finding and starting another program on Linux: the program is executed
// directly, never through a shell, and runs detached from this process.
#include "platform/Programs.h"

namespace vk {

class LinuxPrograms : public Programs {
  public:
    // A regular file (symbolic links followed); a name starting with a dot,
    // the hidden files of Unix, does not count.
    bool isOrdinaryFile(const std::string& path) override;
    // Starts the program at `path` with no arguments, in a session of its
    // own. Returns once the program is executing; throws ServiceError when
    // it cannot be started (not found, not executable, no process left).
    void start(const std::string& path) override;
};

}  // namespace vk
