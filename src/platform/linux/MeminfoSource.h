#pragma once
// The memory figures on Linux: every query is fresh, the free figures from
// /proc/meminfo, the totals (once checked against it) from sysinfo(2).
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
    // The totals from sysinfo(2), which reads the same kernel counters as
    // MemTotal and SwapTotal at a small fraction of the cost of the text.
    // Where the two disagree (a container that rewrites /proc/meminfo, for
    // one) the totals come from the text like everything else.
    void queryTotals(MemoryStatus& record) override;

  private:
    std::string path_;
    // Kept open between queries: reading again from offset 0 makes the kernel
    // write the text anew, and saves an open and a close per figure.
    int fd_ = -1;
    // The text is about 1.5 kB; the fields read are in its first lines.
    std::array<char, 8192> text_{};
    // The cheap totals are used once a full read has found them equal to the
    // text's; the check stops for good the first time they differ (and is
    // never made for a file other than /proc/meminfo).
    bool sysinfoAgrees_ = false;
    bool checkSysinfo_ = true;
    // Full reads since the last check: checking every read would add ten
    // system calls to each refresh for a condition that does not change.
    int readsSinceCheck_ = 0;
};

}  // namespace vk::lnx
