#pragma once
// How much more the memory cgroups this process is in let it charge before
// their OOM killer runs: cgroup v2 and the v1 memory controller, the
// process's own cgroup and every ancestor that is visible through a mount.
// Everything is read through a reader of whole files, so that a test can
// lay out any hierarchy.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vk::lnx {

// The text of one file of /proc or /sys; nothing when it cannot be read.
using TextReader = std::function<std::optional<std::string>(const std::string& path)>;

// Reads the real file (the whole of it).
std::optional<std::string> readSystemFile(const std::string& path);

// The smallest room of every memory cgroup that holds this process, as
// found through /proc/self/cgroup and /proc/self/mountinfo:
//  - v2: the lower of memory.max and memory.high (above "high" the kernel
//    throttles the allocating task for seconds at a time), minus
//    memory.current;
//  - v1: memory.limit_in_bytes minus memory.usage_in_bytes, and where swap
//    accounting is on, memory.memsw.limit_in_bytes minus
//    memory.memsw.usage_in_bytes; memory.stat's hierarchical_memory_limit
//    and hierarchical_memsw_limit also bind ancestors that no mount shows
//    (a container sees only its own part of the hierarchy).
// The file cache the cgroup holds (active_file + inactive_file of
// memory.stat) counts as room: the kernel reclaims it before it kills.
// Swap never counts as room: wrongly refusing costs a message box, wrongly
// accepting costs the process. For the same reason a swap limit of its own
// (memory.swap.max) cannot lower the room and is not read.
// Nothing when no cgroup with a memory limit is found.
std::optional<std::uint64_t> cgroupRoom(const TextReader& read);

}  // namespace vk::lnx
