#pragma once
// The memory figures on Linux: every query reads /proc/meminfo afresh.
#include <array>
#include <string>

#include "platform/MemorySource.h"

namespace vk::lnx {

class MeminfoSource : public MemorySource {
  public:
    explicit MeminfoSource(std::string path = "/proc/meminfo");
    ~MeminfoSource() override;
    MeminfoSource(const MeminfoSource&) = delete;
    MeminfoSource& operator=(const MeminfoSource&) = delete;

    // Throws ServiceError when the file cannot be opened or read, or its
    // text lacks what parseMeminfo needs. The next query tries again.
    void query(MemoryStatus& record) override;

  private:
    std::string path_;
    // Kept open between queries: reading again from offset 0 makes the kernel
    // write the text anew, and saves an open and a close per figure.
    int fd_ = -1;
    // The text is about 1.5 kB; the fields read are in its first lines.
    std::array<char, 8192> text_{};
};

}  // namespace vk::lnx
