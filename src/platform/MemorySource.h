#pragma once
// Where the four memory byte counts come from. Counts are 64-bit: with 32-bit
// counts every machine over 4 GB would show wrong figures.
#include <cstdint>

namespace vk {

// The memory record the figure procedures read: the operating system's four
// byte counts of one query.
struct MemoryStatus {
    std::uint64_t totalPhys = 0;      // total physical memory
    std::uint64_t availPhys = 0;      // free physical memory
    std::uint64_t totalPageFile = 0;  // commit limit
    std::uint64_t availPageFile = 0;  // what can still be committed
};

class MemorySource {
  public:
    virtual ~MemorySource() = default;
    // One fresh query of the operating system; fills the whole record.
    // Throws ServiceError when the figures cannot be read.
    virtual void query(MemoryStatus& record) = 0;
    // A fresh query of the two totals alone (totalPhys, totalPageFile); the
    // other counts keep what they held. A platform that answers the totals
    // more cheaply than the whole record overrides it.
    virtual void queryTotals(MemoryStatus& record) { query(record); }
};

}  // namespace vk
