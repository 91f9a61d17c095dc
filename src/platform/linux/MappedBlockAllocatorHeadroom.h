#pragma once
// How many bytes the machine can still back with RAM and swap, so the
// freeing block is refused cleanly instead of the process being OOM-killed
// while it writes the block.
#include <cstdint>
#include <optional>
#include <string_view>

namespace vk::lnx {

// From one cgroup v2 directory's memory.max, memory.current and memory.stat:
// what the cgroup can still charge before its OOM killer runs, counting the
// file cache as reclaimable. Nothing when the cgroup has no limit ("max")
// or a file is unreadable. Swap is left out: refusing a block that swap
// could have held costs a message box, the other way round the process.
std::optional<std::uint64_t> cgroupHeadroom(std::string_view max, std::string_view current,
                                            std::string_view stat);

// The smallest room of the machine (MemAvailable + SwapFree, the free
// pagefile figure of /proc/meminfo) and of every enclosing cgroup v2 with a
// memory limit, read now. Nothing when none of it can be read.
std::optional<std::uint64_t> backableBytes();

}  // namespace vk::lnx
