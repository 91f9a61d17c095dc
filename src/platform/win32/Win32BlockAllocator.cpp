#include "platform/win32/Win32BlockAllocator.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/Errors.h"

namespace vk::win32 {

VirtualBlock::VirtualBlock(void* base, std::size_t size) : base_(base), size_(size) {}

VirtualBlock::~VirtualBlock() {
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
}

std::unique_ptr<Block> Win32BlockAllocator::allocateAndFill(std::size_t bytes) {
    if (bytes == 0) return std::make_unique<VirtualBlock>(nullptr, 0);
    // Windows does not overcommit: a commit it grants is backed, so the
    // writes below cannot fail; refusal comes here or not at all.
    void* base = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!base) {
        throw OutOfMemory("VirtualAlloc of " + std::to_string(bytes) + " bytes, error " +
                          std::to_string(GetLastError()));
    }
    auto block = std::make_unique<VirtualBlock>(base, bytes);
    std::memset(base, kFill, bytes);
    // The block is never read, so tell the compiler that the memory is used:
    // without this it may drop the writes to a buffer that is only released.
    asm volatile("" : : "r"(base) : "memory");
    return block;
}

}  // namespace vk::win32
