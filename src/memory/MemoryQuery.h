#pragma once
// The program's only source of memory figures. Each figure call queries the
// operating system afresh into the one record and returns whole megabytes.
#include <cstdint>

#include "platform/MemorySource.h"

namespace vk {

class MemoryQuery {
  public:
    explicit MemoryQuery(MemorySource& source) : source_(source) {}

    // Whole megabytes, rounded as BytesToMB then to the even whole number.
    // Throws what the source throws, or OverflowError.
    std::int32_t GetTotalPhysical();
    std::int32_t GetFreePhysical();
    std::int32_t GetTotalPagefile();
    std::int32_t GetFreePagefile();

    // Megabytes rounded to two decimals, half away from zero; the argument
    // is left unchanged. Exact and the same in every locale (no text round
    // trip). Throws OverflowError for NaN, infinities and 2^64 bytes or more.
    static double BytesToMB(const double& bytes);

    // The record as the last figure call left it.
    const MemoryStatus& record() const { return record_; }

  private:
    // One fresh query, then the chosen count through BytesToMB to a figure.
    std::int32_t figure(std::uint64_t MemoryStatus::*count);
    std::int32_t totalFigure(std::uint64_t MemoryStatus::*count);
    std::int32_t toFigure(std::uint64_t count);

    MemorySource& source_;
    MemoryStatus record_;
};

}  // namespace vk
