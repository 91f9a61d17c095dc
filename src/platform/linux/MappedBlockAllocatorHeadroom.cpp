#include "platform/linux/MappedBlockAllocatorHeadroom.h"

#include "platform/Errors.h"
#include "platform/linux/Meminfo.h"

namespace vk::lnx {

std::optional<std::uint64_t> backableBytes(const TextReader& read) {
    std::optional<std::uint64_t> room;
    if (const auto meminfo = read("/proc/meminfo")) {
        try {
            room = parseMeminfo(*meminfo).availPageFile;
        } catch (const ServiceError&) {  // NOLINT(bugprone-empty-catch): other limits decide
            // Garbled: the cgroups and the mapping itself still decide.
        }
    }
    const auto cgroups = cgroupRoom(read);
    if (cgroups && (!room || *cgroups < *room)) room = cgroups;
    return room;
}

std::optional<std::uint64_t> backableBytes() {
    return backableBytes(readSystemFile);
}

}  // namespace vk::lnx
