#include "memory/MemoryQuery.h"

#include "memory/Megabytes.h"
#include "platform/Numbers.h"

namespace vk {

std::int32_t MemoryQuery::GetTotalPhysical() {
    return totalFigure(&MemoryStatus::totalPhys);
}
std::int32_t MemoryQuery::GetFreePhysical() {
    return figure(&MemoryStatus::availPhys);
}
std::int32_t MemoryQuery::GetTotalPagefile() {
    return totalFigure(&MemoryStatus::totalPageFile);
}
std::int32_t MemoryQuery::GetFreePagefile() {
    return figure(&MemoryStatus::availPageFile);
}

std::int32_t MemoryQuery::figure(std::uint64_t MemoryStatus::*count) {
    source_.query(record_);
    return toFigure(record_.*count);
}

// The totals get a fresh query of their own too, through the source's
// cheaper path where it has one.
std::int32_t MemoryQuery::totalFigure(std::uint64_t MemoryStatus::*count) {
    source_.queryTotals(record_);
    return toFigure(record_.*count);
}

std::int32_t MemoryQuery::toFigure(std::uint64_t count) {
    // Exact for every count below 2^53; anything at or above 2^51 bytes is
    // over 2^31 MB and overflows the figure whichever way it is converted.
    const double bytes = static_cast<double>(count);
    // Rounded twice on purpose: to two decimals, then ties to even, so
    // 255.497 and 255.503 MB both become 256.
    return toInt32(BytesToMB(bytes));
}

double MemoryQuery::BytesToMB(const double& bytes) {
    // The hundredths are below 2^53, so this division is the one correctly
    // rounded double nearest to the two-decimal value: the very number that
    // reading back its text would give, in any locale.
    return static_cast<double>(hundredthsOfMB(bytes)) / 100.0;
}

}  // namespace vk
