#pragma once
// How many bytes the machine can still back with RAM and swap, so the
// freeing block is refused cleanly instead of the process being OOM-killed
// while it writes the block.
#include <cstdint>
#include <optional>

#include "platform/linux/CgroupMemory.h"

namespace vk::lnx {

// The smaller of the machine's room (MemAvailable + SwapFree of
// /proc/meminfo, the free pagefile figure: with swap free the kernel pages
// other programs out to make room, which is what the block is for) and the
// room of every memory cgroup the process is in (see cgroupRoom), all read
// through `read` now. Nothing when none of it can be read.
//
// The address-space and data-size limits (RLIMIT_AS, RLIMIT_DATA) and
// strict overcommit are not looked at here: the kernel refuses the mapping
// itself under them, which is a clean refusal already.
std::optional<std::uint64_t> backableBytes(const TextReader& read);

// The same from the real files.
std::optional<std::uint64_t> backableBytes();

}  // namespace vk::lnx
