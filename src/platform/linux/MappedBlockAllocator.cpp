#include "platform/linux/MappedBlockAllocator.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/Errors.h"
#include "platform/linux/MappedBlockAllocatorHeadroom.h"

namespace vk::lnx {

namespace {

// A transparent huge page on x86-64 and on arm64 with 4 KiB pages. Elsewhere
// the alignment is merely harmless.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t roundUp(std::size_t value, std::size_t to) {
    return (value + to - 1) / to * to;
}

void* mapAnonymous(std::size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

// Maps `bytes` (whole pages) starting on a huge-page boundary, so that every
// 2 MiB of the block can be one huge page: the kernel then takes one fault
// and one clear per 2 MiB instead of 512 of each. Over-maps by one huge page
// and gives back the unaligned ends; when even that little extra address
// space is refused (a tight RLIMIT_AS), an unaligned mapping still serves.
void* mapAligned(std::size_t bytes) {
    auto* raw = static_cast<unsigned char*>(mapAnonymous(bytes + kHugePage));
    if (!raw) return mapAnonymous(bytes);
    const auto address = reinterpret_cast<std::uintptr_t>(raw);
    const std::size_t head = roundUp(address, kHugePage) - address;
    const std::size_t tail = kHugePage - head;
    if (head) munmap(raw, head);
    if (tail) munmap(raw + head + bytes, tail);
    return raw + head;
}

}  // namespace

MappedBlock::MappedBlock(void* base, std::size_t mappedBytes, std::size_t size)
    : base_(base), mapped_(mappedBytes), size_(size) {}

MappedBlock::~MappedBlock() {
    if (base_) munmap(base_, mapped_);
}

MappedBlockAllocator::MappedBlockAllocator()
    : MappedBlockAllocator([] { return backableBytes(); }) {}

MappedBlockAllocator::MappedBlockAllocator(Headroom headroom) : headroom_(std::move(headroom)) {}

std::unique_ptr<Block> MappedBlockAllocator::allocateAndFill(std::size_t bytes) {
    if (bytes == 0) return std::make_unique<MappedBlock>(nullptr, 0, 0);
    const std::size_t mapped = roundUp(bytes, static_cast<std::size_t>(sysconf(_SC_PAGESIZE)));

    // Linux overcommits: the mapping would succeed and the writes below would
    // then wake the OOM killer. Refuse up front what cannot be backed.
    if (const auto room = headroom_ ? headroom_() : std::nullopt; room && *room < mapped) {
        throw OutOfMemory("the block needs " + std::to_string(mapped) + " bytes, only " +
                          std::to_string(*room) + " can be backed");
    }

    void* base = mapAligned(mapped);
    if (!base) {
        const int error = errno;
        throw OutOfMemory(std::string("mmap: ") + std::strerror(error));
    }
    auto block = std::make_unique<MappedBlock>(base, mapped, bytes);

    // Advice only: without transparent huge pages the block is still correct,
    // just slower to fault in.
    madvise(base, mapped, MADV_HUGEPAGE);

    // Write huge page by huge page, so that each page is filled while the
    // kernel's clearing of it is still in the cache.
    auto* bytesOut = static_cast<unsigned char*>(base);
    for (std::size_t at = 0; at < bytes; at += kHugePage) {
        std::memset(bytesOut + at, kFill, std::min(kHugePage, bytes - at));
    }
    // The block is never read, so tell the compiler that the memory is used:
    // without this it may drop the writes to a buffer that is only unmapped.
    asm volatile("" : : "r"(bytesOut) : "memory");
    return block;
}

}  // namespace vk::lnx
